// Keeps the page's files so that it works offline once loaded. Every file
// but the page itself and this worker carries its content's hash in its
// name (web/stage.mjs fills in the list), so a cached script never meets
// a .wasm of another build: a new build is a new list and a new cache.
const VERSION = '@VERSION@';
const FILES = ['./', 'index.html', @FILES@];
const CACHE = `zelo-${VERSION}`;

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((n) => n.startsWith('zelo-') && n !== CACHE).map((n) => caches.delete(n))))
    .then(() => self.clients.claim()));
});

// The page itself from the network when it can be had (a new build shows
// at once), else from the cache; the versioned files from the cache first.
self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  if (request.mode === 'navigate') {
    event.respondWith(fetch(request).catch(() => caches.match(request).then((hit) => hit || caches.match('index.html'))));
    return;
  }
  event.respondWith(caches.match(request).then((hit) => hit || fetch(request)));
});
