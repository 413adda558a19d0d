// What users of a configurator page expect of the browser: no chooser
// for an accessory allowed before, Disconnect and Forget, help, working
// offline as an installable app; and the stand-in for navigator.hid held
// to the browser's strictness.
import assert from 'node:assert/strict';
import {
  WAIT_MS, connect, statusIs, udevAdvice,
} from './helpers.mjs';

export const tests = {
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
    assert.ok(help.includes(udevAdvice()), 'the help gives the rule the package installs');

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

  async 'the stand-in is as strict as the browser: wrong-length output reports fail, each accessory shows two interfaces, a device that left hangs'({ open }) {
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

    // A device that left stays opened and its calls never settle, as in Chromium on Linux.
    const left = await page.evaluate(async () => {
      const [, main] = await navigator.hid.getDevices();
      window.zeloFake.unplug(0);
      const outcome = (promise) => Promise.race([promise.then(() => 'settled', () => 'settled'),
                                                 new Promise((pending) => { setTimeout(() => pending('pending'), 200); })]);
      return { opened: main.opened, sendReport: await outcome(main.sendReport(0, new Uint8Array(main.collections[0].outputReports[0].items[0].reportCount))),
               feature: await outcome(main.receiveFeatureReport(0)), close: await outcome(main.close()) };
    });
    assert.deepEqual(left, { opened: true, sendReport: 'pending', feature: 'pending', close: 'pending' });
  },
};
