// Checks that this Node.js suits every package of an npm lock file
// (their "engines.node" ranges), so that a too old Node.js is named at
// once instead of failing somewhere inside `npm ci` or a test.
// Usage: node check-node.mjs package-lock.json
import fs from 'node:fs';
import { satisfies } from './node-range.mjs';

const lockPath = process.argv[2];
const lock = JSON.parse(fs.readFileSync(lockPath, 'utf8'));
const version = process.versions.node;
const unmet = [];
for (const [name, entry] of Object.entries(lock.packages ?? {})) {
    const range = entry.engines?.node;
    if (typeof range === 'string' && !satisfies(version, range))
        unmet.push(`${name || '(root)'} needs Node.js ${range}`);
}
if (unmet.length) {
    console.error(`Node.js ${version} (${process.execPath}) does not suit the packages of ${lockPath}:`);
    for (const line of unmet) console.error(`  ${line.replace(/^node_modules\//, '')}`);
    console.error('Install a newer Node.js (Debian 12\'s nodejs package brings 18, which suits them).');
    process.exit(1);
}
