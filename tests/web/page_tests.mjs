// What a user does on the page, against simulated accessories. Each test
// gets its own page (and simulator) through open(config).
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

const WAIT_MS = 30000;
// The program's IR tab reads the IR status this often.
const IR_POLL_MS = 250;
// The pairing animation's tick in the test; the program's is 500 ms.
const PAIRING_TEST_TICK_MS = 10;

// Files the tests hand to the page's file inputs. The page reads a chosen
// file later, asynchronously, so they stay until the run ends.
const uploads = fs.mkdtempSync(path.join(os.tmpdir(), 'zelo-uploads-'));
export function removeUploads() { fs.rmSync(uploads, { recursive: true, force: true }); }
function uploadFile(name, content) {
  const file = path.join(fs.mkdtempSync(path.join(uploads, 'f-')), name);
  fs.writeFileSync(file, content);
  return file;
}

async function statusIs(page, text) {
  try {
    await page.waitForFunction((t) => document.getElementById('status').textContent === t, { timeout: WAIT_MS }, text);
  } catch (error) {
    const shown = await page.evaluate(() => [document.getElementById('status').textContent,
                                             document.getElementById('message').textContent]);
    throw new Error(`status "${shown[0]}" (message "${shown[1]}") instead of "${text}"`);
  }
}
async function messageText(page) {
  await page.waitForSelector('#message:not([hidden])', { timeout: WAIT_MS });
  return page.$eval('#message', (m) => m.textContent);
}
async function connect(page) {
  await page.click('#connect');
  await page.waitForFunction(() => /^Connected/.test(document.getElementById('status').textContent) ||
                                    !document.getElementById('message').hidden, { timeout: WAIT_MS });
}
// Sets a control's value as a user would and lets its change go through.
async function setValue(page, selector, value) {
  await page.$eval(selector, (element, v) => {
    element.value = v;
    element.dispatchEvent(new Event('change'));
  }, value);
}
// Chooses a file with the given text in the import button's file dialog.
async function importText(page, name, text) {
  const input = await page.$('#import');
  await input.uploadFile(uploadFile(name, text));
}
// Clicks Export and answers the text the browser was given to download.
async function exportedText(page) {
  await page.evaluate(() => {
    window.exported = null;
    HTMLAnchorElement.prototype.click = function () {
      fetch(this.href).then((r) => r.text()).then((t) => { window.exported = { name: this.download, text: t }; });
    };
  });
  await page.click('#export');
  await page.waitForFunction(() => window.exported !== null, { timeout: WAIT_MS });
  const exported = await page.evaluate(() => window.exported);
  assert.match(exported.name, /\.zelo$/);
  return exported.text;
}
// A module of the page by its name before staging gave it its hash.
const moduleUrl = (page, name) => page.evaluate((n) => performance.getEntriesByType('resource').map((e) => e.name)
  .find((url) => new RegExp(`/${n}\\.[0-9a-f]+\\.js$`).test(url)), name);
const flashSettings = (page, model) => page.evaluate((m) => window.zeloFake.settings(0, m), model);

// The enabled, shown controls a user reaches with Tab, in document order.
function focusableControls(page) {
  return page.evaluate(() => [...document.querySelectorAll('button, input, select, textarea, summary, [tabindex]')]
    .filter((e) => !e.disabled && e.tabIndex >= 0 && e.checkVisibility() && !e.closest('dialog:not([open])'))
    .map((e) => e.id || e.getAttribute('aria-label') || e.textContent));
}
// Focuses the page's first control, then presses Tab until each control
// had its turn; answers what held the focus at each step.
async function tabWalk(page, controls) {
  await page.focus(`#${controls[0]}`);
  const focused = () => page.evaluate(() => {
    const e = document.activeElement;
    return e.id || e.getAttribute('aria-label') || e.textContent;
  });
  const reached = [await focused()];
  while (reached.length < controls.length) {
    await page.keyboard.press('Tab');
    reached.push(await focused());
  }
  return reached;
}
// Every control the accessibility tree offers, with no name.
async function unnamedControls(page) {
  const CONTROL_ROLES = new Set(['button', 'checkbox', 'combobox', 'textbox', 'spinbutton', 'progressbar', 'listbox',
                                 'slider', 'radio']);
  const unnamed = [];
  const visit = (node) => {
    if (CONTROL_ROLES.has(node.role) && !String(node.name ?? '').trim()) unnamed.push(node.role);
    for (const child of node.children || []) visit(child);
  };
  visit(await page.accessibility.snapshot({ interestingOnly: false }));
  return unnamed;
}

export const tests = {
  async 'an unplug while the core waits for an answer ends the wait at once, and the tab never stops'({ open }) {
    const page = await open({ simulator: 'standard' });
    await connect(page);
    await statusIs(page, 'Connected.');
    await setValue(page, '#device-code-text', '2.5');
    await statusIs(page, 'Connected. There are unsaved changes.');
    await page.evaluate(() => {
      // The event loop's longest stall, measured by a 10 ms timer chain.
      window.longestStall = 0;
      let last = performance.now();
      const tick = () => {
        const now = performance.now();
        window.longestStall = Math.max(window.longestStall, now - last);
        last = now;
        window.stallTimer = setTimeout(tick, 10);
      };
      window.stallTimer = setTimeout(tick, 10);
      window.zeloFake.dropAnswers(0, 1000);
    });
    // Save's first command goes out; its answer never comes; then the unplug.
    const sent = await page.evaluate(() => window.zeloFake.reportsSent);
    await page.click('#save');
    await page.waitForFunction((n) => window.zeloFake.reportsSent > n, { timeout: WAIT_MS }, sent);
    const begun = Date.now();
    await page.evaluate(() => window.zeloFake.unplug(0));
    assert.match(await messageText(page), /unplugged/);
    await page.waitForFunction(() => !document.getElementById('connect').disabled, { timeout: WAIT_MS });
    const took = Date.now() - begun;
    const stall = await page.evaluate(() => { clearTimeout(window.stallTimer); return window.longestStall; });
    assert.ok(took < 3000, `the save took ${took} ms to give up after the unplug`);
    assert.ok(stall < 1000, `the page stood still for ${Math.round(stall)} ms`);
    assert.notEqual(await page.$eval('#status', (e) => e.textContent), 'Saved.');
  },

  async 'a report the browser never sends, or a feature report that never comes, fails in time and the page goes on'({ open }) {
    const LIMIT_MS = 500;
    const page = await open({ simulator: 'standard', timing: { reportLimitMs: LIMIT_MS } });
    await connect(page);
    await statusIs(page, 'Connected.');
    await setValue(page, '#device-code-text', '6.5');
    await statusIs(page, 'Connected. There are unsaved changes.');
    await page.evaluate(() => window.zeloFake.stall('sendReport'));
    const saveBegun = Date.now();
    await page.click('#save');
    assert.match(await messageText(page), /Could not save/);
    await page.waitForFunction(() => !document.getElementById('connect').disabled, { timeout: WAIT_MS });
    // One wait for the stuck report, not one per retry of the library's.
    const saveTook = Date.now() - saveBegun;
    assert.ok(saveTook < 4 * LIMIT_MS, `the save took ${saveTook} ms to fail`);
    assert.equal(await page.$eval('#status', (e) => e.textContent), 'Connected. There are unsaved changes.');

    // The queue moves again: with the browser sending once more, Save works.
    await page.evaluate(() => window.zeloFake.unstall('sendReport'));
    await page.click('#save');
    await statusIs(page, 'Saved.');
    assert.equal((await flashSettings(page, 'standard')).deviceCode, '6.5');

    // A feature read that hangs ends at the unplug, not at the limit.
    const slow = await open({ simulator: 'x', timing: { reportLimitMs: WAIT_MS } });
    await connect(slow);
    await statusIs(slow, 'Connected.');
    await slow.evaluate(() => window.zeloFake.stall('receiveFeatureReport'));
    await slow.click('#ir-details summary');
    await slow.waitForFunction(() => window.zeloFake.featureReads > 0, { timeout: WAIT_MS });
    const begun = Date.now();
    await slow.evaluate(() => window.zeloFake.unplug(0));
    await statusIs(slow, 'Not connected.');
    assert.ok(Date.now() - begun < WAIT_MS / 2, 'the hanging read ended with the unplug');
    await slow.evaluate(() => window.zeloFake.plugStandard());
    await connect(slow);
    await statusIs(slow, 'Connected.');
  },

  async 'edits made one after another, also during a Save, all take effect'({ open }) {
    const page = await open({ simulator: 'standard' });
    await connect(page);
    await statusIs(page, 'Connected.');
    const led = await page.$eval('#setting-statusLed', (e) => e.checked);
    // Both changes in one turn of the event loop, before either is made.
    await page.evaluate(() => {
      const code = document.getElementById('device-code-text');
      code.value = '8.25';
      code.dispatchEvent(new Event('change'));
      document.getElementById('setting-statusLed').click();
    });
    await page.waitForFunction((l) => document.getElementById('setting-statusLed').checked !== l &&
                                      document.getElementById('device-code-text').value === '8.25', { timeout: WAIT_MS }, led);
    // An edit made while Save runs comes after it and stays an edit.
    await page.evaluate(() => {
      document.getElementById('save').click();
      const code = document.getElementById('device-code-text');
      code.value = '9.5';
      code.dispatchEvent(new Event('change'));
    });
    await page.waitForFunction(() => window.zeloFake.settings(0, 'standard').deviceCode === '8.25', { timeout: WAIT_MS });
    await page.waitForFunction(() => document.getElementById('device-code-text').value === '9.5', { timeout: WAIT_MS });
    await statusIs(page, 'Connected. There are unsaved changes.');
    const saved = await flashSettings(page, 'standard');
    assert.equal(saved.settings.statusLed, !led);
    assert.equal(await page.$eval('#device-code-text', (e) => e.value), '9.5');
    assert.equal(await page.$eval('#setting-statusLed', (e) => e.checked), !led);
  },

  async 'changes kept from an unplugged accessory are offered to it when it is back, and guard the page until then'({ open }) {
    const page = await open({ simulator: 'standard', serials: ['ZL-0002'] });
    await connect(page);
    await statusIs(page, 'Connected.');
    await setValue(page, '#device-code-text', '4.75');
    await statusIs(page, 'Connected. There are unsaved changes.');
    await page.evaluate(() => window.zeloFake.unplug(0));
    assert.match(await messageText(page), /Export settings still writes them/);
    const leaveAsked = () => page.evaluate(() => {
      const event = new Event('beforeunload', { cancelable: true });
      window.dispatchEvent(event);
      return event.defaultPrevented;
    });
    assert.equal(await leaveAsked(), true, 'leaving would lose the kept changes');

    await page.evaluate(() => window.zeloFake.plugStandard('ZL-0002'));
    await page.waitForSelector('#ask[open]', { timeout: WAIT_MS });
    assert.match(await page.$eval('#ask-text', (e) => e.textContent), /before the accessory was unplugged/);
    await page.click('#ask-yes');
    await statusIs(page, 'Your earlier changes are shown as unsaved changes. Save writes them to the accessory.');
    assert.equal(await page.$eval('#device-code-text', (e) => e.value), '4.75');
    assert.equal(JSON.parse(await exportedText(page)).deviceCode, '4.75', 'Export writes the edits');
    await page.click('#save');
    await statusIs(page, 'Saved.');
    assert.equal((await flashSettings(page, 'standard')).deviceCode, '4.75');
  },

  async 'another permitted device leaving does not drop the connected accessory'({ open }) {
    const page = await open({ simulator: 'standard,standard', serials: ['ZL-A', 'ZL-B'] });
    // The user allowed the second accessory before; the first is connected.
    await page.evaluate(() => localStorage.setItem('zelo-fake-granted', JSON.stringify(['ZL-B'])));
    await connect(page);
    await statusIs(page, 'Connected.');
    assert.equal(await page.evaluate(async () => (await navigator.hid.getDevices()).length), 4, 'two accessories, two interfaces each');
    await page.evaluate(() => window.zeloFake.unplug(1));
    await page.waitForFunction(() => window.zeloFake.announced.disconnect === 2, { timeout: WAIT_MS });
    await statusIs(page, 'Connected.');
    await setValue(page, '#device-code-text', '3.5');
    await page.click('#save');
    await statusIs(page, 'Saved.');
  },

  async 'the IR status is read one at a time, never piled up behind a module run, and again after a reconnect'({ open }) {
    const page = await open({ simulator: 'standard', serials: ['ZL-0003'] });
    await connect(page);
    await statusIs(page, 'Connected.');
    await page.click('#ir-details summary');
    await page.waitForFunction(() => window.zeloFake.featureReads > 0, { timeout: WAIT_MS });
    const runStart = await page.evaluate(() => performance.now());
    await page.click('#module-erase');
    await page.waitForFunction(() => !document.getElementById('work').hidden, { timeout: WAIT_MS });
    await page.waitForFunction(() => document.getElementById('work').hidden, { timeout: 120000 });
    // Reads that waited for the run would come back to back after it.
    const READS_JUDGED = 3;
    const times = await page.waitForFunction((t, n) => {
      const since = window.zeloFake.featureReadTimes.filter((time) => time > t);
      return since.length >= n && since;
    }, { timeout: WAIT_MS }, runStart, READS_JUDGED).then((handle) => handle.jsonValue());
    const gaps = times.slice(1).map((time, i) => time - times[i]);
    assert.ok(gaps.every((gap) => gap > IR_POLL_MS / 2), `IR reads after the module run ${gaps.map(Math.round).join(', ')} ms apart`);

    await page.evaluate(() => window.zeloFake.unplug(0));
    await statusIs(page, 'Not connected.');
    await page.evaluate(() => window.zeloFake.plugStandard('ZL-0003'));
    await statusIs(page, 'Connected.');
    await page.evaluate(() => window.zeloFake.setIr(0, 0x79));
    await page.waitForFunction(() => document.getElementById('ir-last').textContent === 'UP', { timeout: WAIT_MS });
  },

  async 'an edit by keyboard keeps the focus on its control, so the next key goes on from there'({ open }) {
    const page = await open({ simulator: 'x' });
    await connect(page);
    await statusIs(page, 'Connected.');
    const key = await page.$eval('#key-map-list select', (s) => s.id);
    const start = await page.$eval(`#${key}`, (s) => s.selectedIndex);
    await page.focus(`#${key}`);
    await page.keyboard.press('ArrowDown');
    await statusIs(page, 'Connected. There are unsaved changes.');
    assert.equal(await page.evaluate(() => document.activeElement.id), key);
    await page.keyboard.press('ArrowDown');
    await page.waitForFunction((k, n) => document.getElementById(k).selectedIndex === n, { timeout: WAIT_MS }, key, start + 2);
    const next = await page.evaluate((k) => {
      const controls = [...document.querySelectorAll('#key-map-list select')];
      return controls[controls.findIndex((c) => c.id === k) + 1].id;
    }, key);
    await page.keyboard.press('Tab');
    assert.equal(await page.evaluate(() => document.activeElement.id), next);
  },

  async 'an accessory another program holds, a page over plain http, a core that does not load: each is explained'({ open }) {
    const windows = await open({ simulator: 'standard', openError: 'NotAllowedError',
                                 userAgent: 'Mozilla/5.0 (Windows NT 10.0; Win64; x64) Chrome/126.0 Safari/537.36' });
    await connect(windows);
    assert.match(await messageText(windows), /in use by another program or tab: the ZE·LO program \(zelo-tool\)/);

    const insecure = await open({ simulator: 'standard', insecure: true });
    assert.match(await messageText(insecure), /plain http from another address.*https.*localhost/);
    assert.equal(await insecure.$eval('#connect', (e) => e.disabled), true);

    const broken = await open({ simulator: 'standard', beforeLoad: async (page) => {
      await page.setRequestInterception(true);
      page.on('request', (request) => (/\.wasm$/.test(request.url())
        ? request.respond({ status: 404, body: 'not found' }) : request.continue()));
    } });
    broken.zeloErrors.length = 0;  // the browser logs the failed fetch itself
    assert.match(await messageText(broken), /program part could not be loaded/);
    assert.equal(await broken.$eval('#connect', (e) => e.disabled), true);
    broken.zeloErrors.length = 0;
  },

  async 'the chooser opens before any question, while the click still counts; the browser refuses it without one'({ open }) {
    const page = await open({ simulator: 'standard' });
    const refused = await page.evaluate(() => {
      window.confirm('A question first?');
      return navigator.hid.requestDevice({ filters: [] }).then(() => 'shown', (e) => e.name);
    });
    assert.equal(refused, 'SecurityError');
    await connect(page);
    await statusIs(page, 'Connected.');
    await setValue(page, '#device-code-text', '1.5');
    await statusIs(page, 'Connected. There are unsaved changes.');
    // With unsaved changes the page asks whether to drop them, after the chooser.
    await page.click('#connect');
    await statusIs(page, 'Connected.');
    assert.equal(await page.$eval('#device-code-text', (e) => e.value) !== '1.5', true);
  },

  async 'without IndexedDB the page says that a Save cut short cannot be finished later, and still saves'({ open }) {
    const page = await open({ simulator: 'standard', noIndexedDb: true });
    page.zeloErrors.length = 0;
    await connect(page);
    assert.match(await messageText(page), /no storage.*cannot be finished later/);
    await setValue(page, '#device-code-text', '2.75');
    await page.click('#save');
    await statusIs(page, 'Saved.');
    assert.equal((await flashSettings(page, 'standard')).deviceCode, '2.75');
  },

  async 'two tabs: one holds the accessory, the other is told so; records written in one are found by the other'({ open }) {
    const first = await open({ simulator: 'standard' });
    const second = await open({ simulator: 'standard' }, first.zeloContext);
    await first.bringToFront();
    await connect(first);
    await statusIs(first, 'Connected.');
    await second.bringToFront();
    await second.click('#connect');
    assert.match(await messageText(second), /connected in another tab or window/);
    await statusIs(second, 'Not connected.');

    await first.bringToFront();
    await first.click('#disconnect');
    await statusIs(first, 'Disconnected. The accessory is free for other programs.');
    await second.bringToFront();
    await connect(second);
    await statusIs(second, 'Connected.');
    // The second tab's Save is cut short; its record must reach the first.
    await setValue(second, '#device-code-text', '5.25');
    await second.evaluate(() => window.zeloFake.unplugAfter(0, 11));
    await second.click('#save');
    assert.match(await messageText(second), /unplugged|Saving failed/);
    await first.bringToFront();
    await first.click('#connect');
    await first.waitForSelector('#ask[open]', { timeout: WAIT_MS });
    assert.match(await first.$eval('#ask-text', (e) => e.textContent), /interrupted/);
    await first.click('#ask-yes');
    await statusIs(first, 'Saved.');
    assert.equal((await flashSettings(first, 'standard')).deviceCode, '5.25');
  },

  async 'the staged files carry their content hash, and a module file too large to be one is refused unread'({ open }) {
    const page = await open({ simulator: 'standard' });
    const names = await page.evaluate(() => performance.getEntriesByType('resource').map((e) => new URL(e.name).pathname));
    for (const base of ['app', 'core', 'texts', 'messages', 'zelo-web']) {
      assert.ok(names.some((n) => new RegExp(`^/${base}\\.[0-9a-f]{8}\\.js$`).test(n)), `${base} is versioned: ${names.join(' ')}`);
    }
    assert.ok(names.some((n) => /^\/zelo-web\.[0-9a-f]{8}\.wasm$/.test(n)), 'the core is versioned');
    await connect(page);
    await statusIs(page, 'Connected.');
    const huge = Buffer.alloc(8 * 1024 * 1024, 0x41);
    await (await page.$('#module-file')).uploadFile(uploadFile('huge.bin', huge));
    assert.match(await messageText(page), /huge\.bin/);
    await setValue(page, '#device-code-text', '1.25');
    await page.click('#save');
    await statusIs(page, 'Saved.');
  },

  async 'user text fills every marker literally: a file name with $& and a second marker'({ open }) {
    const page = await open({ simulator: 'standard' });
    await connect(page);
    await statusIs(page, 'Connected.');
    const name = "my $& $' $$ [NAME].hex";
    const MODULE_FILE_LIMIT = 256 * 1024;  // refused, named in the message
    await (await page.$('#module-file')).uploadFile(uploadFile(name, Buffer.alloc(MODULE_FILE_LIMIT + 1, 0x3a)));
    const shown = await messageText(page);
    assert.ok(shown.includes(name), `"${shown}" names the file as it is`);
    const filled = await page.evaluate(async (url) => (await import(url)).text('stepCommand', { '[MACRO]': 'A$&', '[STEP]': '2' }),
                                       await moduleUrl(page, 'i18n'));
    assert.ok(filled.includes('A$&') && !filled.includes('[MACRO]'), filled);
  },

  async 'an accessory allowed before connects on load without the chooser; Disconnect frees it; Forget drops the permission'({ open }) {
    const page = await open({ simulator: 'x', serials: ['ZL-X1'] });
    await connect(page);
    await statusIs(page, 'Connected.');
    const header = await page.$eval('#header-accessory', (e) => e.textContent);
    assert.match(header, /ZE·LO \(simulated\) · ZE·LO X · Firmware \d\.\d\d · Loader \d\.\d\d/);

    await page.reload();
    await statusIs(page, 'Connected.');
    await page.click('#disconnect');
    await statusIs(page, 'Disconnected. The accessory is free for other programs.');
    assert.equal(await page.evaluate(async () => (await navigator.hid.getDevices()).some((d) => d.opened)), false);
    assert.equal(await page.$eval('#header-accessory', (e) => e.textContent), '');

    await connect(page);
    await statusIs(page, 'Connected.');
    await page.click('#forget');
    await statusIs(page, 'The browser has forgotten the accessory. Connect asks for it again.');
    assert.equal(await page.evaluate(async () => (await navigator.hid.getDevices()).length), 0);
    await page.reload();
    await page.waitForSelector('body[data-ready="true"]');
    assert.equal(await page.$eval('#status', (e) => e.textContent), 'Not connected.');
  },

  async 'the help says why an accessory may not show; the page is an installable app that works offline'({ open }) {
    const page = await open({ simulator: 'standard' });
    await page.click('#help summary');
    const help = await page.$eval('#help', (e) => e.innerText);
    for (const expected of [/USB cable that carries data/, /zelo-tool/, /Chrome, Edge/, /udev/, /serial number/]) assert.match(help, expected);
    assert.match(help, /ATTRS\{idVendor\}=="3a71"/);

    const manifestUrl = await page.$eval('link[rel="manifest"]', (e) => e.href);
    const manifest = await page.evaluate((url) => fetch(url).then((r) => r.json()), manifestUrl);
    assert.equal(manifest.display, 'standalone');
    const icon = manifest.icons.find((i) => i.sizes === '512x512');
    const size = await page.evaluate((url) => fetch(url).then((r) => r.blob()).then(createImageBitmap)
      .then((b) => [b.width, b.height]), new URL(icon.src, manifestUrl).href);
    assert.deepEqual(size, [512, 512]);

    await page.evaluate(() => navigator.serviceWorker.ready);
    await page.reload();
    await page.waitForSelector('body[data-ready="true"]');
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null, { timeout: WAIT_MS });
    await page.setOfflineMode(true);
    await page.reload();
    await page.waitForSelector('body[data-ready="true"]', { timeout: WAIT_MS });
    assert.equal(await page.$eval('#connect', (e) => e.disabled), false);
    assert.equal(await page.$eval('#message', (e) => e.hidden), true);
    await page.setOfflineMode(false);
  },

  async 'the stand-in is as strict as the browser: wrong-length output reports fail, each accessory shows two interfaces'({ open }) {
    const page = await open({ simulator: 'standard' });
    await connect(page);
    await statusIs(page, 'Connected.');
    const outcome = await page.evaluate(async () => {
      const devices = await navigator.hid.getDevices();
      const main = devices.find((d) => d.collections[0].outputReports.length > 0);
      const tries = {};
      for (const [name, length] of [['short', 1], ['long', 200]]) {
        tries[name] = await main.sendReport(0, new Uint8Array(length)).then(() => 'sent', (e) => e.name);
      }
      return { count: devices.length, first: devices[0].collections[0].usagePage, tries };
    });
    assert.equal(outcome.count, 2);
    assert.equal(outcome.first, 0x0c, 'the interface without the accessory\'s reports comes first');
    assert.deepEqual(outcome.tries, { short: 'NotAllowedError', long: 'NotAllowedError' });
  },

  async 'connect, edit the device code and a macro, save: both are in the flash'({ open }) {
    const page = await open({ simulator: 'standard' });
    await connect(page);
    await statusIs(page, 'Connected.');
    assert.equal(await page.$eval('#info-model', (e) => e.textContent), 'ZE·LO');
    assert.match(await page.$eval('#info-firmware', (e) => e.textContent), /^\d\.\d\d$/);
    const before = await flashSettings(page, 'standard');
    assert.equal(await page.$eval('#device-code-text', (e) => e.value), before.deviceCode);

    await setValue(page, '#device-code-text', '7.42');
    await statusIs(page, 'Connected. There are unsaved changes.');
    await page.click('#macro-list fieldset:nth-of-type(2) button:last-of-type');  // add a step to macro 2
    await page.waitForSelector('#macro-list fieldset:nth-of-type(2) .step select');
    const command = await page.$eval('#macro-list fieldset:nth-of-type(2) .step:last-of-type select',
                                     (s) => s.options[s.options.length - 2].value);
    await setValue(page, '#macro-list fieldset:nth-of-type(2) .step:last-of-type select', command);
    await page.waitForFunction((c) => document.querySelector('#macro-list fieldset:nth-of-type(2) .step:last-of-type select').value === c,
                               { timeout: WAIT_MS }, command);
    assert.deepEqual(await flashSettings(page, 'standard'), before, 'nothing written before Save');

    await page.click('#save');
    await statusIs(page, 'Saved.');
    const after = await flashSettings(page, 'standard');
    assert.equal(after.deviceCode, '7.42');
    const steps = after.macros[1].steps;
    assert.equal(steps[steps.length - 1].command, command);
    assert.deepEqual(after.settings, before.settings, 'the settings are untouched');
  },

  async 'a key of the key mapping page is changed and saved on the X model'({ open }) {
    const page = await open({ simulator: 'x' });
    await connect(page);
    await statusIs(page, 'Connected.');
    const before = await flashSettings(page, 'X');
    const key = Object.keys(before.keyMap)[0];
    const select = `#key-map-list select[id="key-${key.replace(/[^A-Za-z0-9]+/g, '-')}"]`;
    const choice = await page.$eval(select, (s) => [...s.options].map((o) => o.value).find((v) => v !== s.value));
    await setValue(page, select, choice);
    await statusIs(page, 'Connected. There are unsaved changes.');
    await page.click('#save');
    await statusIs(page, 'Saved.');
    const after = await flashSettings(page, 'X');
    assert.equal(after.keyMap[key], choice);
    assert.deepEqual({ ...after.keyMap, [key]: before.keyMap[key] }, before.keyMap, 'the other keys are untouched');
  },

  async 'restore default settings brings back what a new accessory holds, saved at once'({ open }) {
    const page = await open({ simulator: 'standard' });
    await connect(page);
    await statusIs(page, 'Connected.');
    const defaults = await flashSettings(page, 'standard');
    await setValue(page, '#device-code-text', '9.9');
    await statusIs(page, 'Connected. There are unsaved changes.');
    await page.click('#save');
    await statusIs(page, 'Saved.');
    assert.equal((await flashSettings(page, 'standard')).deviceCode, '9.9');
    await page.click('#restore-defaults');  // the warning is accepted
    await statusIs(page, 'Saved.');
    assert.deepEqual(await flashSettings(page, 'standard'), defaults);
    assert.equal(await page.$eval('#device-code-text', (e) => e.value), defaults.deviceCode);
  },

  async 'a device code outside its range is refused and the working copy keeps the old one'({ open }) {
    const page = await open({ simulator: 'x' });
    await connect(page);
    await statusIs(page, 'Connected.');
    const before = await page.$eval('#device-code-text', (e) => e.value);
    await setValue(page, '#device-code-text', '32.0');
    assert.match(await messageText(page), /deviceCode.*outside D 0-31/);
    await page.waitForFunction((v) => document.getElementById('device-code-text').value === v, { timeout: WAIT_MS }, before);
    await statusIs(page, 'Connected.');
  },

  async 'an accessory unplugged during Save: the page says so and nothing claims success'({ open }) {
    const page = await open({ simulator: 'standard' });
    await connect(page);
    await statusIs(page, 'Connected.');
    await setValue(page, '#device-code-text', '3.3');
    await statusIs(page, 'Connected. There are unsaved changes.');
    await page.evaluate(() => window.zeloFake.unplugAfter(0, 5));
    await page.click('#save');
    assert.match(await messageText(page), /unplugged|Saving failed/);
    await page.waitForFunction(() => !document.getElementById('connect').disabled, { timeout: WAIT_MS });
    assert.notEqual(await page.$eval('#status', (e) => e.textContent), 'Saved.');
    assert.equal(await page.$eval('#save', (e) => e.disabled), true);
  },

  async 'a Save cut short by an unplug is finished after a reload when the user says yes'({ open }) {
    const page = await open({ simulator: 'standard' });
    await connect(page);
    await statusIs(page, 'Connected.');
    const before = await flashSettings(page, 'standard');
    await setValue(page, '#device-code-text', '5.67');
    await statusIs(page, 'Connected. There are unsaved changes.');
    // Into the second of the three pages: the flash is part old, part new.
    await page.evaluate(() => window.zeloFake.unplugAfter(0, 11));
    await page.click('#save');
    assert.match(await messageText(page), /unplugged|Saving failed/);
    // The reload brings a fresh simulator holding the old settings: the
    // record of the save must have outlived the page to be found.
    await page.reload();
    await page.waitForSelector('body[data-ready="true"]');
    assert.deepEqual(await flashSettings(page, 'standard'), before);
    await page.click('#connect');
    await page.waitForSelector('#ask[open]', { timeout: WAIT_MS });
    assert.match(await page.$eval('#ask-text', (e) => e.textContent), /interrupted/);
    await page.click('#ask-yes');
    await statusIs(page, 'Saved.');
    assert.equal((await flashSettings(page, 'standard')).deviceCode, '5.67');
    assert.equal(await page.$eval('#device-code-text', (e) => e.value), '5.67');
    // Finished: the next connect does not ask again.
    await page.reload();
    await page.waitForSelector('body[data-ready="true"]');
    await connect(page);
    await statusIs(page, 'Connected.');
    assert.equal(await page.$eval('#ask', (e) => e.open), false);
  },

  async 'unplugged and plugged in again: with a serial number the page reconnects by itself, without one Connect is needed'({ open }) {
    const page = await open({ simulator: 'standard', serials: ['ZL-0001'] });
    await connect(page);
    await statusIs(page, 'Connected.');
    await page.evaluate(() => window.zeloFake.unplug(0));
    assert.match(await messageText(page), /unplugged/);
    await statusIs(page, 'Not connected.');
    assert.equal(await page.$eval('#save', (e) => e.disabled), true);
    await page.evaluate(() => window.zeloFake.plugStandard('ZL-0001'));
    await statusIs(page, 'Connected.');
    assert.equal(await page.$eval('#save', (e) => e.disabled), false);

    const bare = await open({ simulator: 'standard' });
    await connect(bare);
    await statusIs(bare, 'Connected.');
    await bare.evaluate(() => window.zeloFake.unplug(0));
    await statusIs(bare, 'Not connected.');
    // The browser announces nothing: the page waits for Connect.
    assert.equal(await bare.evaluate(() => { window.zeloFake.plugStandard(); return window.zeloFake.announced.connect; }), 0);
    assert.equal(await bare.$eval('#status', (e) => e.textContent), 'Not connected.');
    assert.equal(await bare.evaluate(async () => (await navigator.hid.getDevices()).length), 0);
    await connect(bare);
    await statusIs(bare, 'Connected.');
  },

  async 'unplugged with unsaved changes: they can still be exported'({ open }) {
    const page = await open({ simulator: 'standard' });
    await connect(page);
    await statusIs(page, 'Connected.');
    await setValue(page, '#device-code-text', '4.56');
    await statusIs(page, 'Connected. There are unsaved changes.');
    await page.evaluate(() => window.zeloFake.unplug(0));
    assert.match(await messageText(page), /Export settings still writes them/);
    assert.equal(await page.$eval('#export', (e) => e.disabled), false);
    assert.equal(JSON.parse(await exportedText(page)).deviceCode, '4.56');
  },

  async 'unsaved changes make the browser ask before the page is left'({ open }) {
    const page = await open({ simulator: 'standard' });
    await connect(page);
    await statusIs(page, 'Connected.');
    const asked = () => page.evaluate(() => {
      const event = new Event('beforeunload', { cancelable: true });
      window.dispatchEvent(event);
      return event.defaultPrevented;
    });
    assert.equal(await asked(), false);
    await setValue(page, '#device-code-text', '1.1');
    await statusIs(page, 'Connected. There are unsaved changes.');
    assert.equal(await asked(), true);
  },

  async 'an old accessory is updated after the user agrees, with the progress shown'({ open }) {
    const page = await open({ simulator: 'standard:fw=1.18' });
    await page.click('#connect');
    await page.waitForSelector('#ask[open]', { timeout: WAIT_MS });
    assert.match(await page.$eval('#ask-text', (e) => e.textContent), /1\.18/);
    await page.click('#ask-yes');
    await page.waitForFunction(() => !document.getElementById('work').hidden, { timeout: WAIT_MS });
    await statusIs(page, 'Connected.');
    assert.notEqual(await page.evaluate(() => window.zeloFake.firmware(0)), '1.18');
  },

  async 'import a settings file, then a damaged one, and export what the page shows'({ open }) {
    const page = await open({ simulator: 'standard' });
    await connect(page);
    await statusIs(page, 'Connected.');
    const file = await flashSettings(page, 'standard');
    file.deviceCode = '12.34';
    file.macros[0].steps = [{ command: file.macros[0].steps[0]?.command ?? 'NONE', holdMs: 120, pauseMs: 30 }];
    await importText(page, 'mine.zelo', JSON.stringify(file, null, 2));
    await statusIs(page, 'The settings were imported and are shown as unsaved changes. Save writes them to the accessory.');
    assert.equal(await page.$eval('#device-code-text', (e) => e.value), '12.34');

    const damaged = JSON.stringify(file).replace('"12.34"', '"12.34", "deviceCode": 5').slice(0, -20);
    await importText(page, 'damaged.zelo', damaged);
    assert.match(await messageText(page), /The settings file was not imported\. Nothing was changed\./);
    assert.equal(await page.$eval('#device-code-text', (e) => e.value), '12.34');

    // Export hands the browser the document with the unsaved edits.
    const exported = { text: await exportedText(page) };
    const written = JSON.parse(exported.text);
    assert.equal(written.deviceCode, '12.34');
    assert.deepEqual(written.macros[0].steps[0], { ...file.macros[0].steps[0], holdMs: 120, pauseMs: 30 });

    await page.click('#save');
    await statusIs(page, 'Saved.');
    assert.equal((await flashSettings(page, 'standard')).deviceCode, '12.34');
  },

  async 'the last IR command received is shown (feature reports with and without their ID byte); the X model transmits while held'({ open }) {
    let page = null;
    for (const featureWithId of [true, false]) {
      page = await open({ simulator: 'x', featureWithId });
      await connect(page);
      await statusIs(page, 'Connected.');
      await page.click('#ir-details summary');
      await page.evaluate(() => window.zeloFake.setIr(0, 0x79));
      await page.waitForFunction(() => document.getElementById('ir-last').textContent === 'UP', { timeout: WAIT_MS });
    }

    assert.equal(await page.$eval('#ir-transmit', (e) => e.hidden), false);
    await page.select('#ir-command', 'PLAY');
    const index = await page.$eval('#ir-command', (e) => e.selectedIndex);
    await page.focus('#ir-send');
    await page.keyboard.down('Space');
    await page.waitForFunction(() => window.zeloFake.lastIrTransmit(0)[3] === 0xff, { timeout: WAIT_MS });
    await page.keyboard.up('Space');
    await page.waitForFunction(() => window.zeloFake.lastIrTransmit(0)[3] === 0x00, { timeout: WAIT_MS });
    const sent = await page.evaluate(() => window.zeloFake.lastIrTransmit(0));
    assert.equal(sent[0], await page.evaluate((i) => window.zeloFake.transmitCode(i), index));
  },

  async 'pairing sends the request and runs the progress to the end; the standard model has no transmit'({ open }) {
    const page = await open({ simulator: 'standard', timing: { pairingTickMs: PAIRING_TEST_TICK_MS } });
    await connect(page);
    await statusIs(page, 'Connected.');
    assert.equal(await page.$eval('#ir-transmit', (e) => e.hidden), true);
    await page.click('#pair-open');
    await page.click('#pair');
    await page.waitForFunction(() => window.zeloFake.pairingValue(0) !== 0, { timeout: WAIT_MS });
    await statusIs(page, 'Pairing finished.');
    assert.equal(await page.$eval('#pairing-progress', (e) => e.value), 100);
    assert.equal(await page.$eval('#pair', (e) => e.disabled), false, 'Pair can be pressed again');
  },

  async 'the seven languages come from the catalogue and the page\'s table, and the choice is kept'({ open }) {
    const page = await open({ simulator: 'standard' });
    const labels = await page.$$eval('#language option', (o) => o.map((e) => e.textContent));
    assert.equal(labels.length, 7);
    assert.equal(await page.$eval('#save', (e) => e.textContent), 'Save');
    await connect(page);
    await statusIs(page, 'Connected.');
    const label = () => page.$eval('label[for="setting-statusLed"]', (e) => e.textContent);
    const english = await label();
    assert.notEqual(english, 'statusLed', 'the settings carry the program\'s labels');
    const german = await page.$eval('#language', (s) => [...s.options].find((o) => o.textContent === 'Deutsch').value);
    await page.select('#language', german);
    await page.waitForFunction(() => document.getElementById('save').textContent === 'Speichern', { timeout: WAIT_MS });
    await page.waitForFunction((e) => document.querySelector('label[for="setting-statusLed"]').textContent !== e,
                               { timeout: WAIT_MS }, english);
    // The page's own texts follow: status line, buttons, headings, title.
    await statusIs(page, 'Verbunden.');
    assert.equal(await page.$eval('#connect', (e) => e.textContent), 'Verbinden');
    assert.equal(await page.$eval('#accessory-title', (e) => e.textContent), 'Zubehör');
    assert.equal(await page.$eval('#macro-list fieldset > button', (e) => e.textContent), 'Schritt hinzufügen');
    assert.equal(await page.title(), 'ZE·LO-Konfiguration');
    assert.equal(await page.evaluate(() => document.documentElement.lang), 'de');
    await setValue(page, '#device-code-text', '99.0');
    assert.match(await messageText(page), /^Dieser Wert ist nicht möglich: /);
    await page.reload();
    await page.waitForSelector('body[data-ready="true"]');
    assert.equal(await page.$eval('#save', (e) => e.textContent), 'Speichern');
    assert.equal(await page.$eval('#status', (e) => e.textContent), 'Nicht verbunden.');
  },

  async 'every page text and catalogue text is in all seven languages of the generated module'({ open }) {
    const page = await open({ noWebHid: true });
    const problems = await page.evaluate(async (textsUrl, messagesUrl) => {
      const { languages, englishKey } = await import(textsUrl);
      const { messageNames } = await import(messagesUrl);
      const english = languages.find((l) => l.key === englishKey);
      const found = [];
      if (languages.length !== 7) found.push(`${languages.length} languages`);
      for (const language of languages) {
        if (language.catalogue.length !== messageNames.length) found.push(`${language.label}: catalogue size`);
        language.catalogue.forEach((t, i) => { if (!t) found.push(`${language.label}: ${messageNames[i]}`); });
        for (const name of Object.keys(english.page)) {
          if (!language.page[name]) found.push(`${language.label}: ${name}`);
        }
      }
      return found;
    }, await moduleUrl(page, 'texts'), await moduleUrl(page, 'messages'));
    assert.deepEqual(problems, []);
  },

  async 'a browser without WebHID is told so in the language the browser prefers'({ open }) {
    const page = await open({ noWebHid: true, language: 'de-DE' });
    const text = await messageText(page);
    assert.match(text, /Dieser Browser kann nicht mit USB-Zubehör sprechen/);
    assert.equal(await page.$eval('#status', (e) => e.textContent), 'Nicht verbunden.');
  },

  async 'the settings page shows the receiver mode\'s help and power note, the power tracking label and its rule'({ open }) {
    const page = await open({ simulator: 'x' });
    await connect(page);
    await statusIs(page, 'Connected.');
    const catalogue = await page.evaluate(async (textsUrl, messagesUrl) => {
      const { languages, englishKey } = await import(textsUrl);
      const { messageNames } = await import(messagesUrl);
      const english = languages.find((l) => l.key === englishKey).catalogue;
      return Object.fromEntries(messageNames.map((name, i) => [name, english[i]]));
    }, await moduleUrl(page, 'texts'), await moduleUrl(page, 'messages'));
    const help = () => page.$eval('#setting-receiverMode-help', (e) => [...e.querySelectorAll('p')].map((p) => p.textContent));
    const modes = await page.$eval('#setting-receiverMode', (s) => [...s.options].map((o) => o.value));
    await setValue(page, '#setting-receiverMode', modes[0]);
    await page.waitForFunction(() => document.getElementById('setting-receiverMode-help').childElementCount === 1,
                               { timeout: WAIT_MS });
    assert.deepEqual(await help(), [catalogue.ReceiverHelpInternal]);
    await setValue(page, '#setting-receiverMode', modes[1]);
    await page.waitForFunction(() => document.getElementById('setting-receiverMode-help').childElementCount === 2,
                               { timeout: WAIT_MS });
    assert.deepEqual(await help(), [catalogue.ReceiverHelpNetwork, catalogue.ExternalPowerNote]);
    assert.equal(await page.$eval('#setting-receiverMode', (e) => e.getAttribute('aria-describedby')),
                 'setting-receiverMode-help');
    assert.equal(await page.$eval('label[for="setting-powerTracking"]', (e) => e.textContent), 'Powertracking');

    // Discrete power-on can be ticked only while power is tracked.
    const tracking = await page.$eval('#setting-powerTracking', (s) => [...s.options].map((o) => o.value));
    const discreteDisabled = (disabled) => page.waitForFunction(
      (d) => document.getElementById('setting-discretePowerOn').disabled === d, { timeout: WAIT_MS }, disabled);
    await setValue(page, '#setting-powerTracking', tracking[0]);
    await discreteDisabled(true);
    await setValue(page, '#setting-powerTracking', tracking[1]);
    await discreteDisabled(false);
  },

  async 'module install from a file, restore and erase, with the module memory checked'({ open }) {
    const ADDRESS_START = 14;  // the generated module address follows
    const DATA_START = 128;
    const DATA_COMPARED = 256;
    const sameRanges = (memory, image) =>
      memory.slice(0, ADDRESS_START).join() === image.slice(0, ADDRESS_START).join() &&
      memory.slice(DATA_START, DATA_COMPARED).join() === image.slice(DATA_START, DATA_COMPARED).join();
    const page = await open({ simulator: 'standard' });
    await connect(page);
    await statusIs(page, 'Connected.');

    const image = Array.from({ length: 8192 }, (_, i) => (i * 7 + 3) & 0xff);
    await (await page.$('#module-file')).uploadFile(uploadFile('module.bin', Buffer.from(image)));
    await page.waitForFunction(() => !document.getElementById('module-install').disabled, { timeout: WAIT_MS });
    const outcome = (text) => page.waitForFunction((t) => document.getElementById('module-status').textContent === t,
                                                   { timeout: 120000 }, text);
    await page.click('#module-install');
    await outcome('Module successfully installed!');
    assert.ok(sameRanges(await page.evaluate(() => window.zeloFake.moduleMemory(0, 256)), image), 'the file is installed');

    // The same outcome text again: wait for the buttons to come back.
    await page.click('#module-restore');
    await page.waitForFunction(() => document.getElementById('module-restore').disabled, { timeout: WAIT_MS }).catch(() => {});
    await page.waitForFunction(() => !document.getElementById('module-restore').disabled, { timeout: 120000 });
    await outcome('Module successfully installed!');
    const builtIn = await page.evaluate(() => window.zeloFake.builtinModule(256));
    assert.ok(sameRanges(await page.evaluate(() => window.zeloFake.moduleMemory(0, 256)), builtIn), 'the built-in module is back');
    // As in the program: the loader's last line is not counted, so an installation ends at 99 %.
    assert.equal(await page.$eval('#module-progress', (e) => e.value), 99);

    await page.click('#module-erase');
    await outcome('Module successfully erased!');
    assert.equal(await page.evaluate(() => window.zeloFake.moduleMemory(0, 256)), null);
  },

  async 'a browser without WebHID is told which browsers have it'({ open }) {
    const page = await open({ noWebHid: true });
    const text = await messageText(page);
    assert.match(text, /WebHID/);
    assert.match(text, /Chrome/);
    assert.match(text, /Edge/);
    assert.equal(await page.$eval('#connect', (e) => e.disabled), true);
  },

  async 'NotAllowedError on Linux shows the udev rule and its commands'({ open }) {
    const page = await open({ simulator: 'standard', openError: 'NotAllowedError' });
    await connect(page);
    const text = await messageText(page);
    assert.match(text, /udev/);
    assert.match(text, /ATTRS\{idVendor\}=="3a71", ATTRS\{idProduct\}=="0009"/);
    assert.match(text, /sudo udevadm control --reload-rules/);
    assert.equal(await page.$eval('#accessory', (e) => e.hidden), true);
  },

  async 'the page is used by keyboard alone: Tab follows the page, Enter and Space work, every control has a name'({ open }) {
    const page = await open({ simulator: 'x' });
    const before = await focusableControls(page);
    assert.deepEqual(await tabWalk(page, before), before, 'Tab order before connecting');
    await page.focus('#connect');
    await page.keyboard.press('Enter');
    await statusIs(page, 'Connected.');
    await page.click('#ir-details summary');
    await page.click('#pair-open');

    const after = await focusableControls(page);
    assert.ok(after.includes('setting-statusLed') && after.includes('device-code-text') && after.includes('ir-send'));
    assert.deepEqual(await tabWalk(page, after), after, 'Tab order of the connected page');
    assert.deepEqual(await unnamedControls(page), [], 'controls without an accessible name');

    // After each edit the focus is where it was: Tab goes on from there.
    await page.focus('#setting-statusLed');
    await page.keyboard.press('Space');
    await statusIs(page, 'Connected. There are unsaved changes.');
    const focused = () => page.evaluate(() => document.activeElement.id);
    assert.equal(await focused(), 'setting-statusLed');
    const steps = () => page.$$eval('#macro-list fieldset:first-of-type .step', (e) => e.length);
    const stepsBefore = await steps();
    for (let i = after.indexOf('setting-statusLed'); i < after.indexOf('macro-0-add'); ++i) await page.keyboard.press('Tab');
    assert.equal(await focused(), 'macro-0-add');
    await page.keyboard.press('Enter');
    await page.waitForFunction((n) => document.querySelectorAll('#macro-list fieldset:first-of-type .step').length === n + 1,
                               { timeout: WAIT_MS }, stepsBefore);
    assert.equal(await focused(), 'macro-0-add');
    // Back to Save by Shift+Tab, past the step's new controls.
    const now = await focusableControls(page);
    await page.keyboard.down('Shift');
    for (let i = now.indexOf('macro-0-add'); i > now.indexOf('save'); --i) await page.keyboard.press('Tab');
    await page.keyboard.up('Shift');
    assert.equal(await focused(), 'save');
    await page.keyboard.press('Space');
    await statusIs(page, 'Saved.');
  },
};
