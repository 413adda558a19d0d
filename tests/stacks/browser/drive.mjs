// The browser scenarios of the stage: build/web served on the guest's
// localhost, Debian's Chromium granted the accessory by the managed policy
// (browser/helpers writes it), driven by puppeteer-core. The accessory is
// zelo-uhid's, behind the real kernel, hidraw and udev, and Chromium's own
// WebHID; what it holds is read from its state file, never from the page.
// Usage: node drive.mjs SCENARIO, with ZELO_STACKS_BIN, ZELO_STACKS_CONTROL,
// ZELO_STACKS_WORK, ZELO_WEB_PORT and ZELO_WEB_SITE set (helpers).
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';
import { serve } from '../../web/server.mjs';
import { removeUploads, setValue } from '../../web/helpers.mjs';

const require = createRequire(new URL('../../web/package.json', import.meta.url));
const puppeteer = require('puppeteer-core');

const CHROMIUM = process.env.ZELO_CHROMIUM || '/usr/bin/chromium';
const CHROMIUM_FLAGS = ['--headless=new', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                        '--disable-background-networking', '--disable-component-update', '--disable-sync',
                        '--disable-dev-shm-usage',
                        // An emulated machine's two processors: no background
                        // recompiling of the core, one renderer.
                        '--js-flags=--no-wasm-tier-up', '--renderer-process-limit=1',
                        '--disable-site-isolation-trials'];
// Everything is slower in the emulated machine: Chromium's first start
// alone takes most of a minute.
const WAIT_MS = 120000;
// Chromium's start, cold, on a machine busy with other work.
const LAUNCH_MS = 240000;
// A page that still answers does so at once, even in the emulated machine.
const ANSWER_MS = 5000;
// The core gives up waiting for an answer after 15 s; a page that tells an
// unplug sooner ended its wait at the unplug.
const UNPLUG_TOLD_MS = 12000;
const IR_UP = { code: '79', name: 'UP' };
const CONNECTED = 'Connected.';
const UNSAVED = 'Connected. There are unsaved changes.';

const env = (name) => process.env[name] || assert.fail(`${name} is not set`);
const bin = env('ZELO_STACKS_BIN');
const control = env('ZELO_STACKS_CONTROL');
const work = env('ZELO_STACKS_WORK');
const port = Number(env('ZELO_WEB_PORT'));
const site = env('ZELO_WEB_SITE');

function log(line) { console.log(`[${new Date().toISOString().slice(11, 23)}] ${line}`); }

// ---- the accessory, through zelo-uhid's control channel --------------------

function ctl(...command) {
  log(`control: ${command.join(' ')}`);
  return execFileSync(path.join(bin, 'zelo-uhid'), ['--send', control, ...command], { encoding: 'utf8' });
}

// What accessory N holds, read from its state file: a copy of it opened by
// the simulator inside zelo (the file is replaced by renames, so a copy is
// whole), as a settings document.
function accessoryState(index = 0, model = 'standard') {
  const line = ctl('dump').split('\n').find((l) => l.startsWith(`accessory ${index}: plugged`));
  assert.ok(line, `accessory ${index} is not plugged in`);
  const stateFile = /state=(\S+)/.exec(line)[1];
  const copy = path.join(fs.mkdtempSync(path.join(work, 'state-')), 'copy.bin');
  fs.copyFileSync(stateFile, copy);
  const shown = execFileSync(path.join(bin, 'zelo'), ['show', '--json'], {
    encoding: 'utf8', env: { ...process.env, ZELO_SIMULATOR: `${model}:state=${copy}` } });
  return JSON.parse(shown);
}

// ---- the page -------------------------------------------------------------

async function shown(page) {
  return page.evaluate(() => ({ status: document.getElementById('status').textContent,
                                message: document.getElementById('message').hidden ? ''
                                  : document.getElementById('message').textContent }));
}
async function waitFor(page, what, predicate, ...args) {
  try {
    await page.waitForFunction(predicate, { timeout: WAIT_MS, polling: 100 }, ...args);
  } catch (error) {
    const now = await shown(page).catch(() => ({}));
    throw new Error(`no ${what} within ${WAIT_MS} ms (status "${now.status}", message "${now.message}")`);
  }
}
const statusIs = (page, status) => waitFor(page, `status "${status}"`,
  (s) => document.getElementById('status').textContent === s, status);
const messageMatches = (page, pattern) => waitFor(page, `message /${pattern.source}/`,
  (p) => { const m = document.getElementById('message'); return !m.hidden && new RegExp(p).test(m.textContent); },
  pattern.source);

// A step added to macro 2 (the page's default command); answers the
// macro's steps as the page shows them.
async function addMacroStep(page) {
  const macro = '#macro-list fieldset:nth-of-type(2)';
  const steps = await page.$$eval(`${macro} .step`, (s) => s.length);
  await page.click(`${macro} button:last-of-type`);
  await waitFor(page, 'a new macro step', (m, n) => document.querySelectorAll(`${m} .step`).length === n + 1, macro, steps);
  return page.$$eval(`${macro} .step select`, (selects) => selects.map((s) => s.value));
}

async function connectedOnLoad(page) {
  await statusIs(page, CONNECTED);
  const state = accessoryState();
  const header = await page.$eval('#header-accessory', (e) => e.textContent);
  log(`header: ${header}`);
  const loader = /loader=(\S+)/.exec(ctl('dump'))[1];
  const firmware = await page.$eval('#info-firmware', (e) => e.textContent);
  assert.match(header, /ZE·LO/, 'the header names the accessory');
  assert.match(firmware, /^\d+\.\d\d$/, 'the page shows a firmware version');
  assert.ok(header.includes(firmware), `the header shows the firmware ${firmware}`);
  assert.ok(header.includes(loader), `the header shows the accessory's loader ${loader}`);
  assert.equal(await page.$eval('#device-code-text', (e) => e.value), state.deviceCode,
               'the page shows the device code the accessory holds');
  const macroSteps = await page.$$eval('#macro-list fieldset', (sets) => sets.map((s) => s.querySelectorAll('.step').length));
  assert.deepEqual(macroSteps, state.macros.map((m) => m.steps.length), 'the page shows the macros the accessory holds');
  return state;
}

// ---- scenarios --------------------------------------------------------------

const scenarios = {
  // Found on load through getDevices(), read, a macro and the device code
  // edited and saved: the accessory's state holds them.
  async 'load-save'(page) {
    const before = await connectedOnLoad(page);
    const code = before.deviceCode === '7.42' ? '7.43' : '7.42';
    await setValue(page, '#device-code-text', code);
    await statusIs(page, UNSAVED);
    const shownSteps = await addMacroStep(page);
    await page.click('#save');
    await statusIs(page, 'Saved.');
    const after = accessoryState();
    assert.equal(after.deviceCode, code, 'the saved device code is in the accessory');
    assert.equal(after.macros[1].steps.length, before.macros[1].steps.length + 1, 'the macro has its new step');
    assert.deepEqual(after.macros[1].steps.map((s) => s.command), shownSteps, 'the macro is as the page showed it');
    assert.deepEqual(after.settings, before.settings, 'the settings are untouched');
  },

  // The IR status is a feature report, which Linux hands back without its
  // report-ID byte.
  async 'ir-status'(page) {
    await connectedOnLoad(page);
    await page.click('#ir-details summary');
    assert.notEqual(await page.$eval('#ir-last', (e) => e.textContent), IR_UP.name, 'no IR command before one is sent');
    ctl('ir', '0', IR_UP.code);
    await waitFor(page, `IR command ${IR_UP.name}`, (n) => document.getElementById('ir-last').textContent === n, IR_UP.name);
    // What the browser gives for the accessory, beside the stand-in of tests/web.
    log(`the browser's device: ${await page.evaluate(async () => {
      const [device] = await navigator.hid.getDevices();
      const feature = await device.receiveFeatureReport(0);
      return JSON.stringify({ productName: device.productName, opened: device.opened, collections: device.collections.map(
        (c) => ({ usagePage: c.usagePage, usage: c.usage, input: c.inputReports.length, output: c.outputReports.length,
                  feature: c.featureReports.map((r) => r.items.map((i) => i.reportCount)) })),
        featureBytes: feature.byteLength });
    })}`);
  },

  // The accessory pulled while a Save runs: the page says the save failed,
  // claims no success and keeps answering; plugged in again, the page
  // connects by itself and the interrupted save is finished.
  async 'unplug-mid-save'(page) {
    const before = await connectedOnLoad(page);
    const code = before.deviceCode === '3.33' ? '3.34' : '3.33';
    await setValue(page, '#device-code-text', code);
    await statusIs(page, UNSAVED);
    // Late answers stretch the save so the unplug lands inside it.
    ctl('fault', '0', 'delay-answer', 'delay=100', 'count=1000');
    await page.click('#save');
    await waitFor(page, 'the save under way', () => Number(document.getElementById('progress').value) > 0);
    await page.evaluate(async () => {
      window.stage = { device: (await navigator.hid.getDevices())[0] };
      navigator.hid.addEventListener('disconnect', (event) => {
        window.stage.disconnectAt ??= Date.now();
        window.stage.sameDevice = event.device === window.stage.device;
      });
    });
    const unplugged = Date.now();
    ctl('unplug', '0');
    await messageMatches(page, /unplugged|Saving failed/);
    const told = Date.now();
    const disconnectAt = await page.evaluate(() => window.stage.disconnectAt);
    log(`Chromium announced the unplug after ${disconnectAt - unplugged} ms, the page told it ${told - disconnectAt} ms later`);
    assert.ok(told - disconnectAt < UNPLUG_TOLD_MS, 'the page waited on after the unplug');
    // What the browser does with the device that left, beside the stand-in.
    log(`the device that left: ${await page.evaluate(async () => {
      const { device, sameDevice } = window.stage;
      const outcome = (promise) => Promise.race([promise.then(() => 'resolved', (e) => `${e.name}: ${e.message}`),
                                                 new Promise((settled) => { setTimeout(() => settled('pending after 3 s'), 3000); })]);
      return JSON.stringify({ sameDevice, opened: device.opened,
                              sendReport: await outcome(device.sendReport(0, new Uint8Array(1))),
                              receiveFeatureReport: await outcome(device.receiveFeatureReport(0)),
                              open: await outcome(device.open()) });
    })}`);
    await answersAtOnce(page);
    assert.notEqual((await shown(page)).status, 'Saved.', 'nothing claims success');
    assert.equal(await page.$eval('#save', (e) => e.disabled), true, 'no Save without an accessory');

    ctl('plug', '0');
    // Plugged in again the accessory answers at once; the page either asks
    // to finish the save the unplug cut short or finds the old settings.
    await waitFor(page, 'a reconnect', () => document.getElementById('ask').open ||
                  /^Connected/.test(document.getElementById('status').textContent));
    log(`reconnected: ${await page.evaluate(async () => JSON.stringify({
      devices: (await navigator.hid.getDevices()).length, same: (await navigator.hid.getDevices())[0] === window.stage.device }))}`);
    if (await page.$eval('#ask', (e) => e.open)) {
      log(`asked: ${await page.$eval('#ask-text', (e) => e.textContent)}`);
      await page.click('#ask-yes');
      await statusIs(page, 'Saved.');
      assert.equal(accessoryState().deviceCode, code, 'the finished save is in the accessory');
    } else {
      log('the unplug came before any page was written');
      assert.equal(accessoryState().deviceCode, before.deviceCode, 'an unfinished save left the old settings');
    }
  },
};

// The tab still works: evaluate returns and a control responds, each
// within ANSWER_MS.
async function answersAtOnce(page) {
  const begun = Date.now();
  await withDeadline(page.evaluate(() => 1 + 1), ANSWER_MS, 'the page did not answer');
  const wasOpen = await page.$eval('#help', (e) => e.open);
  await withDeadline(page.click('#help summary'), ANSWER_MS, 'a click was not taken');
  await withDeadline(page.waitForFunction((o) => document.getElementById('help').open !== o, { timeout: ANSWER_MS }, wasOpen),
                     ANSWER_MS, 'the help did not open');
  log(`the page answered in ${Date.now() - begun} ms`);
}
function withDeadline(promise, ms, what) {
  let timer;
  return Promise.race([promise, new Promise((_, reject) => { timer = setTimeout(() => reject(new Error(`${what} within ${ms} ms`)), ms); })])
    .finally(() => clearTimeout(timer));
}

// ---- the run -----------------------------------------------------------------

const name = process.argv[2];
if (!scenarios[name]) {
  console.error(`usage: node drive.mjs ${Object.keys(scenarios).join('|')}`);
  process.exit(2);
}
const server = await serve({ '/': site }, port, '127.0.0.1');
const profile = fs.mkdtempSync(path.join(work, 'chromium-'));
let browser = null;
let failed = false;
try {
  log('starting Chromium');
  // The page is the first tab's: a tab opened later costs the emulated
  // machine another renderer's start.
  const url = `http://localhost:${port}/index.html`;
  browser = await puppeteer.launch({ executablePath: CHROMIUM, headless: true, userDataDir: profile,
                                     args: [...CHROMIUM_FLAGS, url], timeout: LAUNCH_MS, protocolTimeout: WAIT_MS });
  log('Chromium started');
  const [page] = await browser.pages();
  page.setDefaultTimeout(WAIT_MS);
  const errors = [];
  page.on('pageerror', (error) => errors.push(String(error)));
  page.on('console', (message) => {
    log(`console ${message.type()}: ${message.text()}`);
    if (message.type() === 'error') errors.push(message.text());
  });
  page.on('dialog', (dialog) => dialog.accept());
  await waitFor(page, 'the page ready', () => document.body.dataset.ready === 'true');
  assert.equal(page.url(), url, 'the first tab shows the page');
  log('page ready');
  await scenarios[name](page);
  assert.deepEqual(errors, [], 'the page logged errors');
  log(`PASS ${name}`);
} catch (error) {
  failed = true;
  log(`FAIL ${name}: ${error.stack || error}`);
} finally {
  await browser?.close();
  server.close();
  removeUploads();
}
process.exit(failed ? 1 : 0);
