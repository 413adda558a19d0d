// The browser tests: the page from build/web in headless Chromium (the
// system's), the simulated accessory behind a stand-in for navigator.hid.
// Usage: node run.mjs <page folder> <folder of zelo-web-sim.js>
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';
import { serve } from './server.mjs';
import { removeUploads } from './helpers.mjs';
import { tests as pageTests } from './page_tests.mjs';
import { tests as robustnessTests } from './robustness_tests.mjs';
import { tests as browserTests } from './browser_tests.mjs';

const tests = { ...pageTests, ...robustnessTests, ...browserTests };

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

// A fresh page with the stand-in configured; its console errors fail the
// test. Pages of one browser context (a second tab: open(config, first.zeloContext))
// share storage and locks.
async function openPage(config, shared) {
  const context = shared || await browser.createBrowserContext();
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
    if (c.userAgent) Object.defineProperty(Navigator.prototype, 'userAgent', { get: () => c.userAgent });
    // Plain http from another address: no secure context, so no WebHID.
    if (c.insecure) {
      Object.defineProperty(window, 'isSecureContext', { get: () => false });
      c.noWebHid = true;
    }
    if (c.noIndexedDb) Object.defineProperty(window, 'indexedDB', { get: () => undefined });
  }, config);
  await page.evaluateOnNewDocument(fakeScript);
  if (config.beforeLoad) await config.beforeLoad(page);
  await page.goto(`${origin}${config.path || '/index.html'}`);
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
  const pages = [];
  try {
    let failure = null;
    await Promise.race([
      test({ open: async (config, context) => {
        const page = await openPage(config, context);
        pages.push(page);
        failure?.(page.zeloFailure);
        return page;
      } }),
      new Promise((_, reject) => { failure = (pageFailure) => pageFailure.catch(reject); }),
      new Promise((_, reject) => setTimeout(() => reject(new Error(`no result within ${TEST_TIMEOUT_MS} ms`)), TEST_TIMEOUT_MS)),
    ]);
    const errors = pages.flatMap((page) => page.zeloErrors);
    if (errors.length > 0) throw new Error(`page errors: ${errors.join('; ')}`);
    console.log(`ok   ${name} (${Date.now() - begun} ms)`);
  } catch (error) {
    failed += 1;
    console.log(`FAIL ${name}: ${error.stack || error}`);
  } finally {
    for (const page of pages) await page.zeloContext.close().catch(() => {});
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
