// The browser tests: the page from build/web in headless Chromium (the
// system's), the simulated accessory behind a stand-in for navigator.hid.
// Usage: node run.mjs <page folder> <folder of zelo-web-sim.js>
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';
import { serve } from './server.mjs';
import { tests, removeUploads } from './page_tests.mjs';

const CHROMIUM = process.env.ZELO_CHROMIUM || '/usr/bin/chromium';
const CHROMIUM_FLAGS = ['--headless=new', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                        '--disable-background-networking', '--disable-component-update', '--disable-sync',
                        '--disable-dev-shm-usage'];
const TEST_TIMEOUT_MS = 60000;

const [pageFolder, simFolder] = process.argv.slice(2);
if (!pageFolder || !simFolder) {
  console.error('usage: node run.mjs <page folder> <simulator folder>');
  process.exit(2);
}
const here = path.dirname(new URL(import.meta.url).pathname);
const stage = fs.mkdtempSync(path.join(os.tmpdir(), 'zelo-web-test-'));
for (const file of ['zelo-web-sim.js', 'zelo-web-sim.wasm']) fs.copyFileSync(path.join(simFolder, file), path.join(stage, file));
fs.copyFileSync(path.join(here, 'fake_hid.js'), path.join(stage, 'fake_hid.js'));

const server = await serve({ '/': pageFolder, '/test/': stage });
const origin = `http://127.0.0.1:${server.address().port}`;
const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'zelo-web-profile-'));
const browser = await puppeteer.launch({ executablePath: CHROMIUM, headless: true, userDataDir: profile,
                                          args: CHROMIUM_FLAGS, protocolTimeout: TEST_TIMEOUT_MS });
const fakeScript = fs.readFileSync(path.join(here, 'fake_hid.js'), 'utf8');

// A fresh page with the stand-in configured; its console errors fail the test.
async function openPage(config) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  const errors = [];
  // An uncaught error in the page fails the test at once.
  page.zeloFailure = new Promise((_, reject) => {
    page.on('pageerror', (error) => { errors.push(String(error)); reject(new Error(`page error: ${error}`)); });
  });
  page.zeloFailure.catch(() => {});
  page.on('console', (message) => { if (message.type() === 'error') errors.push(message.text()); });
  page.on('dialog', (dialog) => dialog.accept());
  await page.evaluateOnNewDocument((c) => {
    window.zeloFakeConfig = c;
    if (c.timing) window.zeloTiming = c.timing;
    if (c.language) Object.defineProperty(Navigator.prototype, 'languages', { get: () => [c.language] });
  }, config);
  await page.evaluateOnNewDocument(fakeScript);
  await page.goto(`${origin}/index.html`);
  await page.waitForSelector('body[data-ready="true"], #message:not([hidden])');
  page.zeloErrors = errors;
  page.zeloContext = context;
  return page;
}

let failed = 0;
const started = Date.now();
// ZELO_WEB_TESTS picks the tests whose names contain it.
const only = process.env.ZELO_WEB_TESTS || '';
for (const [name, test] of Object.entries(tests).filter(([n]) => n.includes(only))) {
  const begun = Date.now();
  let page = null;
  try {
    let failure = null;
    await Promise.race([
      test({ open: async (config) => { page = await openPage(config); failure?.(page.zeloFailure); return page; } }),
      new Promise((_, reject) => { failure = (pageFailure) => pageFailure.catch(reject); }),
      new Promise((_, reject) => setTimeout(() => reject(new Error(`no result within ${TEST_TIMEOUT_MS} ms`)), TEST_TIMEOUT_MS)),
    ]);
    if (page && page.zeloErrors.length > 0) throw new Error(`page errors: ${page.zeloErrors.join('; ')}`);
    console.log(`ok   ${name} (${Date.now() - begun} ms)`);
  } catch (error) {
    failed += 1;
    console.log(`FAIL ${name}: ${error.stack || error}`);
  } finally {
    if (page) await page.zeloContext.close().catch(() => {});
  }
}
await browser.close();
server.close();
fs.rmSync(profile, { recursive: true, force: true });
fs.rmSync(stage, { recursive: true, force: true });
removeUploads();
const ran = Object.keys(tests).filter((n) => n.includes(only)).length;
console.log(`${ran - failed} of ${ran} browser tests passed in ${Date.now() - started} ms`);
process.exit(failed === 0 ? 0 : 1);
