// The page where it used to fail its users: unplugs and calls that never
// settle, edits made quickly or while busy, other devices and tabs, the
// browser refusing something, user text in messages. Each test gets its
// own page (and simulator) through open(config).
import assert from 'node:assert/strict';
import {
  IR_POLL_MS, WAIT_MS, connect, exportedText, flashSettings, messageText, moduleUrl, setValue, statusIs, uploadFile,
} from './helpers.mjs';

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
    assert.ok(saveTook < 6 * LIMIT_MS, `the save took ${saveTook} ms to fail`);
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
};
