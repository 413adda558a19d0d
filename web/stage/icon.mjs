// The program's icon (a Windows .ico) as the PNG pictures a web app
// manifest needs: the largest 32-bit picture of the icon, enlarged by
// whole pixels.
import zlib from 'node:zlib';

const ICO_HEADER = 6;
const ICO_ENTRY = 16;
const BITMAP_HEADER = 40;
const BYTES_PER_PIXEL = 4;
const FULL_SIZE = 256;  // an entry's width byte 0 means 256

const CRC_TABLE = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});
function crc32(bytes) {
  let c = 0xffffffff;
  for (const b of bytes) c = CRC_TABLE[(c ^ b) & 0xff] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}

function chunk(type, data) {
  const out = Buffer.alloc(12 + data.length);
  out.writeUInt32BE(data.length, 0);
  out.write(type, 4, 'latin1');
  data.copy(out, 8);
  out.writeUInt32BE(crc32(out.subarray(4, 8 + data.length)), 8 + data.length);
  return out;
}

// The largest 32-bit picture as rows of RGBA, top row first.
function largestPicture(ico) {
  const count = ico.readUInt16LE(4);
  let best = null;
  for (let i = 0; i < count; ++i) {
    const at = ICO_HEADER + i * ICO_ENTRY;
    const size = ico[at] || FULL_SIZE;
    if (ico.readUInt16LE(at + 6) === 32 && (!best || size > best.size)) best = { size, offset: ico.readUInt32LE(at + 12) };
  }
  if (!best) throw new Error('the icon has no 32-bit picture');
  const { size, offset } = best;
  const pixels = offset + BITMAP_HEADER;
  const rgba = Buffer.alloc(size * size * BYTES_PER_PIXEL);
  for (let y = 0; y < size; ++y) {
    const row = pixels + (size - 1 - y) * size * BYTES_PER_PIXEL;  // stored bottom row first
    for (let x = 0; x < size; ++x) {
      const from = row + x * BYTES_PER_PIXEL;
      const to = (y * size + x) * BYTES_PER_PIXEL;
      rgba[to] = ico[from + 2];
      rgba[to + 1] = ico[from + 1];
      rgba[to + 2] = ico[from];
      rgba[to + 3] = ico[from + 3];
    }
  }
  return { size, rgba };
}

// A PNG of side pixels from the icon's largest picture.
export function iconPng(ico, side) {
  const { size, rgba } = largestPicture(ico);
  const raw = Buffer.alloc(side * (1 + side * BYTES_PER_PIXEL));
  for (let y = 0; y < side; ++y) {
    const line = y * (1 + side * BYTES_PER_PIXEL);  // filter byte 0, then the row
    for (let x = 0; x < side; ++x) {
      const from = (Math.floor((y * size) / side) * size + Math.floor((x * size) / side)) * BYTES_PER_PIXEL;
      rgba.copy(raw, line + 1 + x * BYTES_PER_PIXEL, from, from + BYTES_PER_PIXEL);
    }
  }
  const header = Buffer.alloc(13);
  header.writeUInt32BE(side, 0);
  header.writeUInt32BE(side, 4);
  header[8] = 8;  // bits per channel
  header[9] = 6;  // RGBA
  return Buffer.concat([Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]), chunk('IHDR', header),
                        chunk('IDAT', zlib.deflateSync(raw)), chunk('IEND', Buffer.alloc(0))]);
}
