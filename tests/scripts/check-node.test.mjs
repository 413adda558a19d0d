// The Node.js check that install-deps runs before the browser tests.
import test from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { spawnSync } from 'node:child_process';
import { satisfies } from '../../scripts/node-range.mjs';

const here = path.dirname(new URL(import.meta.url).pathname);
const checker = path.join(here, '../../scripts/check-node.mjs');

test('ranges as lock files write them', () => {
    const cases = [
        ['18.19.0', '>=18', true], ['16.20.2', '>=18', false],
        ['18.19.0', '>= 10.17.0', true], ['10.16.9', '>= 10.17.0', false],
        ['9.1.0', '6.* || 8.* || >= 10.*', false], ['8.4.0', '6.* || 8.* || >= 10.*', true],
        ['20.1.0', '^14.17.0 || >=16', true], ['15.0.0', '^14.17.0 || >=16', false],
        ['14.18.0', '^14.17.0', true], ['0.3.1', '^0.2.0', false],
        ['18.19.0', '~18.19.1', false], ['18.20.0', '~18.19', false],
        ['20.0.0', '*', true], ['18.0.0', '<18', false], ['17.9.0', '>=12 <18', true],
        ['18.5.0', '18', true], ['19.0.0', '<=18', false], ['18.9.9', '<=18', true],
    ];
    for (const [version, range, expected] of cases)
        assert.equal(satisfies(version, range), expected, `${version} against "${range}"`);
});

test('a lock file this Node.js does not suit is named and fails', () => {
    const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'check-node-'));
    const lock = path.join(dir, 'package-lock.json');
    const write = (range) => fs.writeFileSync(lock, JSON.stringify({
        packages: { '': {}, 'node_modules/needs-future': { engines: { node: range } } } }));
    write('>=999');
    const refused = spawnSync(process.execPath, [checker, lock], { encoding: 'utf8' });
    assert.equal(refused.status, 1);
    assert.match(refused.stderr, /needs-future needs Node\.js >=999/);
    write('>=4');
    assert.equal(spawnSync(process.execPath, [checker, lock]).status, 0);
    fs.rmSync(dir, { recursive: true });
});
