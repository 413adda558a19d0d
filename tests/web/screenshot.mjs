// The README's picture of the page: connected to a simulated accessory.
// Usage: node screenshot.mjs <page folder> <simulator folder> <out.png>
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';
import { serve } from './server.mjs';

const [pageFolder, simFolder, out] = process.argv.slice(2);
const here = path.dirname(new URL(import.meta.url).pathname);
const stage = fs.mkdtempSync(path.join(os.tmpdir(), 'zelo-web-shot-'));
for (const file of ['zelo-web-sim.js', 'zelo-web-sim.wasm']) fs.copyFileSync(path.join(simFolder, file), path.join(stage, file));
const server = await serve({ '/': pageFolder, '/test/': stage });
const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'zelo-web-profile-'));
const browser = await puppeteer.launch({ executablePath: process.env.ZELO_CHROMIUM || '/usr/bin/chromium', userDataDir: profile,
  args: ['--headless=new', '--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
         '--disable-component-update', '--disable-sync'] });
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 1000, height: 900 });
  await page.evaluateOnNewDocument(() => { window.zeloFakeConfig = { simulator: 'standard' }; });
  await page.evaluateOnNewDocument(fs.readFileSync(path.join(here, 'fake_hid.js'), 'utf8'));
  await page.goto(`http://127.0.0.1:${server.address().port}/index.html`);
  await page.waitForSelector('body[data-ready="true"]');
  await page.click('#connect');
  await page.waitForFunction(() => document.getElementById('status').textContent === 'Connected.');
  await page.screenshot({ path: out });
} finally {
  await browser.close();
  server.close();
  fs.rmSync(profile, { recursive: true, force: true });
  fs.rmSync(stage, { recursive: true, force: true });
}
