// Stages the page for any static file host. Every file but index.html and
// the service worker is named by its content's hash (core.3f2a9c1e.js), and
// every reference to it is rewritten, so a browser holding an old script
// never pairs it with a new .wasm. The service worker gets the list.
// Usage: node web/stage/stage.mjs <site> <page folder> <core folder> <icon.ico>
import crypto from 'node:crypto';
import fs from 'node:fs';
import path from 'node:path';
import { iconPng } from './icon.mjs';

const HASH_LENGTH = 8;
const ICON_SIDES = [192, 512];
const CORE_FILES = ['messages.js', 'texts.js', 'udev_rule.js', 'zelo-web.js', 'zelo-web.wasm'];
const FIXED_NAMES = new Set(['index.html', 'sw.js']);
const TEXT_FILE = /\.(html|js|css|webmanifest)$/;

const [site, pageFolder, coreFolder, iconFile] = process.argv.slice(2);
if (!iconFile) {
  console.error('usage: node stage.mjs <site> <page folder> <core folder> <icon.ico>');
  process.exit(2);
}

// name -> content, before renaming.
const files = new Map();
for (const name of fs.readdirSync(pageFolder)) {
  if (/\.(html|js|css|webmanifest)$/.test(name)) files.set(name, fs.readFileSync(path.join(pageFolder, name)));
}
for (const name of CORE_FILES) files.set(name, fs.readFileSync(path.join(coreFolder, name)));
const ico = fs.readFileSync(iconFile);
for (const side of ICON_SIDES) files.set(`icon-${side}.png`, iconPng(ico, side));

const escape = (text) => text.replace(/[.*+?^${}()|[\]\\]/g, '\\$&');
// A reference is the name quoted, with or without "./" in front.
const referencePattern = (name) => new RegExp(`(['"])(\\./)?${escape(name)}\\1`, 'g');
const referencesOf = (name, content) => (TEXT_FILE.test(name)
  ? [...files.keys()].filter((other) => other !== name && referencePattern(other).test(content.toString('utf8')))
  : []);

// Files are renamed after everything they refer to.
const renamed = new Map();
const hashed = (name, content) => {
  const hash = crypto.createHash('sha256').update(content).digest('hex').slice(0, HASH_LENGTH);
  const dot = name.indexOf('.');
  return `${name.slice(0, dot)}.${hash}${name.slice(dot)}`;
};
function rewrite(name) {
  let content = files.get(name);
  if (!TEXT_FILE.test(name)) return content;
  let text = content.toString('utf8');
  for (const [from, to] of renamed) text = text.replace(referencePattern(from), (_, quote, dot) => `${quote}${dot || ''}${to}${quote}`);
  return Buffer.from(text, 'utf8');
}
const output = new Map();
const pending = new Set([...files.keys()].filter((n) => !FIXED_NAMES.has(n)));
while (pending.size > 0) {
  const ready = [...pending].find((n) => referencesOf(n, files.get(n)).every((r) => renamed.has(r) || FIXED_NAMES.has(r)));
  if (!ready) throw new Error(`files refer to each other: ${[...pending].join(', ')}`);
  const content = rewrite(ready);
  renamed.set(ready, hashed(ready, content));
  output.set(renamed.get(ready), content);
  pending.delete(ready);
}
output.set('index.html', rewrite('index.html'));
const version = crypto.createHash('sha256').update([...renamed.values()].sort().join('\n')).digest('hex').slice(0, HASH_LENGTH);
const worker = files.get('sw.js').toString('utf8').replace('@VERSION@', version)
  .replace('@FILES@', [...renamed.values()].sort().map((n) => `'${n}'`).join(', '));
output.set('sw.js', Buffer.from(worker, 'utf8'));

fs.rmSync(site, { recursive: true, force: true });
fs.mkdirSync(site, { recursive: true });
for (const [name, content] of output) fs.writeFileSync(path.join(site, name), content);
console.log(`${site}: ${output.size} files, version ${version}`);
