#include "bitmap_files.h"

#include <stdexcept>

namespace artgen {

namespace {

constexpr std::uint16_t kBitmapMagic = 0x4D42;  // "BM"
constexpr std::uint16_t kIconType = 1;
constexpr std::uint16_t kPlanes = 1;
constexpr std::uint16_t kTrueColourBits = 24;
constexpr std::uint16_t kAlphaColourBits = 32;
constexpr std::int32_t kPixelsPerMetre = 2835;  // 72 dpi, the customary value
constexpr std::size_t kRowAlignment = 4;

void put16(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(Bytes& out, std::uint32_t v) {
    put16(out, v & 0xFFFFu);
    put16(out, v >> 16);
}

std::size_t align(std::size_t n) { return (n + kRowAlignment - 1) / kRowAlignment * kRowAlignment; }

void putInfoHeader(Bytes& out, int width, int storedHeight, std::uint16_t bits, std::size_t imageSize,
                   std::int32_t resolution) {
    put32(out, kInfoHeaderSize);
    put32(out, static_cast<std::uint32_t>(width));
    put32(out, static_cast<std::uint32_t>(storedHeight));
    put16(out, kPlanes);
    put16(out, bits);
    put32(out, 0);  // uncompressed
    put32(out, static_cast<std::uint32_t>(imageSize));
    put32(out, static_cast<std::uint32_t>(resolution));
    put32(out, static_cast<std::uint32_t>(resolution));
    put32(out, 0);  // colours used
    put32(out, 0);  // important colours
}

std::size_t iconImageSize(const Image& image) {
    const auto rows = static_cast<std::size_t>(image.height());
    return kInfoHeaderSize + rows * (static_cast<std::size_t>(image.width()) * 4 + maskRowStride(image.width()));
}

void putIconImage(Bytes& out, const Image& image) {
    const int w = image.width();
    const int h = image.height();
    const std::size_t colourBytes = static_cast<std::size_t>(w) * 4 * static_cast<std::size_t>(h);
    const std::size_t maskBytes = maskRowStride(w) * static_cast<std::size_t>(h);
    // The stored height covers the colour image and the mask together.
    putInfoHeader(out, w, 2 * h, kAlphaColourBits, colourBytes + maskBytes, 0);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const Rgba c = image.at(x, y);
            out.insert(out.end(), {c.b, c.g, c.r, c.a});
        }
    }
    for (int y = h - 1; y >= 0; --y) {
        Bytes row(maskRowStride(w), 0);
        for (int x = 0; x < w; ++x) {
            if (image.at(x, y).a < kMaskOpacityThreshold) {
                row[static_cast<std::size_t>(x) / 8] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
}

}  // namespace

std::size_t bmp24RowStride(int width) { return align(static_cast<std::size_t>(width) * 3); }

std::size_t maskRowStride(int width) { return (static_cast<std::size_t>(width) + 31) / 32 * 4; }

Bytes encodeBmp24(const Image& image) {
    const std::size_t stride = bmp24RowStride(image.width());
    const std::size_t pixelBytes = stride * static_cast<std::size_t>(image.height());
    const std::size_t offset = kFileHeaderSize + kInfoHeaderSize;
    Bytes out;
    out.reserve(offset + pixelBytes);
    put16(out, kBitmapMagic);
    put32(out, static_cast<std::uint32_t>(offset + pixelBytes));
    put32(out, 0);  // reserved
    put32(out, static_cast<std::uint32_t>(offset));
    putInfoHeader(out, image.width(), image.height(), kTrueColourBits, pixelBytes, kPixelsPerMetre);
    for (int y = image.height() - 1; y >= 0; --y) {
        const std::size_t rowStart = out.size();
        for (int x = 0; x < image.width(); ++x) {
            const Rgba c = image.at(x, y);
            out.insert(out.end(), {c.b, c.g, c.r});
        }
        out.resize(rowStart + stride, 0);
    }
    return out;
}

Bytes encodeIco(const std::vector<Image>& images) {
    if (images.empty()) throw std::invalid_argument("an icon needs at least one image");
    Bytes out;
    put16(out, 0);  // reserved
    put16(out, kIconType);
    put16(out, static_cast<std::uint32_t>(images.size()));
    std::size_t offset = kIconDirSize + kIconEntrySize * images.size();
    for (const Image& image : images) {
        if (image.width() > kMaxIconSide || image.height() > kMaxIconSide) {
            throw std::invalid_argument("icon image too large");
        }
        // A side of 256 is written as 0.
        out.push_back(static_cast<std::uint8_t>(image.width() % kMaxIconSide));
        out.push_back(static_cast<std::uint8_t>(image.height() % kMaxIconSide));
        out.push_back(0);  // colour count: not a palette image
        out.push_back(0);  // reserved
        put16(out, kPlanes);
        put16(out, kAlphaColourBits);
        put32(out, static_cast<std::uint32_t>(iconImageSize(image)));
        put32(out, static_cast<std::uint32_t>(offset));
        offset += iconImageSize(image);
    }
    for (const Image& image : images) putIconImage(out, image);
    return out;
}

}  // namespace artgen
