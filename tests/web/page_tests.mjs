// What a user does on the page, against simulated accessories. Each test
// gets its own page (and simulator) through open(config).
import assert from 'node:assert/strict';
import {
  PAIRING_TEST_TICK_MS, WAIT_MS, connect, exportedText, flashSettings, focusableControls, importText, messageText,
  moduleUrl, setValue, statusIs, tabWalk, udevAdvice, unnamedControls, uploadFile,
} from './helpers.mjs';

export const tests = {
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
    // The status already says "Saved." from the save before; the restore
    // has ended when the page shows the defaults it read back.
    await page.waitForFunction((code) => document.getElementById('device-code-text').value === code,
                               { timeout: WAIT_MS }, defaults.deviceCode);
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

  async 'NotAllowedError on Linux shows the udev rule the package installs and its commands'({ open }) {
    const page = await open({ simulator: 'standard', openError: 'NotAllowedError' });
    await connect(page);
    const text = await messageText(page);
    assert.match(text, /udev/);
    assert.ok(text.includes(udevAdvice()), `the advice installs the packaged rule: ${text}`);
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
