// A plain static file server, no special headers: the page at /, the
// test's stand-ins at /test/. Also what `make web-serve` runs (page only).
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';

const TYPES = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8',
                '.mjs': 'text/javascript; charset=utf-8', '.css': 'text/css; charset=utf-8',
                '.wasm': 'application/wasm', '.png': 'image/png', '.json': 'application/json',
                '.webmanifest': 'application/manifest+json' };

// roots: URL prefix -> folder. Answers 404 for anything outside them.
export function serve(folders, port = 0, host = '127.0.0.1') {
  const roots = Object.fromEntries(Object.entries(folders).map(([p, f]) => [p, path.resolve(f)]));
  const server = http.createServer((request, response) => {
    const url = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    const prefix = Object.keys(roots).filter((p) => url.startsWith(p)).sort((a, b) => b.length - a.length)[0];
    let file = prefix === undefined ? null : path.join(roots[prefix], path.normalize(url.slice(prefix.length)));
    if (file && !file.startsWith(path.resolve(roots[prefix]))) file = null;
    if (file && fs.existsSync(file) && fs.statSync(file).isDirectory()) file = path.join(file, 'index.html');
    if (!file || !fs.existsSync(file)) {
      response.writeHead(404).end('not found');
      return;
    }
    response.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => server.listen(port, host, () => resolve(server)));
}

if (process.argv[1] && import.meta.url === new URL(`file://${path.resolve(process.argv[1])}`).href) {
  const folder = path.resolve(process.argv[2] || 'build/web');
  const port = Number(process.argv[3] || 8080);
  serve({ '/': folder }, port).then(() => console.log(`Serving ${folder} at http://localhost:${port}/ (Ctrl+C ends)`));
}
