// What the browser tests share: waiting for the page's status and
// messages, driving its controls, files for its file inputs, and looking
// into the simulated accessory.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

export const WAIT_MS = 30000;
// The program's IR tab reads the IR status this often.
export const IR_POLL_MS = 250;
// The pairing animation's tick in the test; the program's is 500 ms.
export const PAIRING_TEST_TICK_MS = 10;

// Files the tests hand to the page's file inputs. The page reads a chosen
// file later, asynchronously, so they stay until the run ends.
const uploads = fs.mkdtempSync(path.join(os.tmpdir(), 'zelo-uploads-'));
export function removeUploads() { fs.rmSync(uploads, { recursive: true, force: true }); }
export function uploadFile(name, content) {
  const file = path.join(fs.mkdtempSync(path.join(uploads, 'f-')), name);
  fs.writeFileSync(file, content);
  return file;
}

export async function statusIs(page, text) {
  try {
    await page.waitForFunction((t) => document.getElementById('status').textContent === t, { timeout: WAIT_MS }, text);
  } catch (error) {
    const shown = await page.evaluate(() => [document.getElementById('status').textContent,
                                             document.getElementById('message').textContent]);
    throw new Error(`status "${shown[0]}" (message "${shown[1]}") instead of "${text}"`);
  }
}
export async function messageText(page) {
  await page.waitForSelector('#message:not([hidden])', { timeout: WAIT_MS });
  return page.$eval('#message', (m) => m.textContent);
}
export async function connect(page) {
  await page.click('#connect');
  await page.waitForFunction(() => /^Connected/.test(document.getElementById('status').textContent) ||
                                    !document.getElementById('message').hidden, { timeout: WAIT_MS });
}
// Sets a control's value as a user would and lets its change go through.
export async function setValue(page, selector, value) {
  await page.$eval(selector, (element, v) => {
    element.value = v;
    element.dispatchEvent(new Event('change'));
  }, value);
}
// Chooses a file with the given text in the import button's file dialog.
export async function importText(page, name, text) {
  const input = await page.$('#import');
  await input.uploadFile(uploadFile(name, text));
}
// Clicks Export and answers the text the browser was given to download.
export async function exportedText(page) {
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
export const moduleUrl = (page, name) => page.evaluate((n) => performance.getEntriesByType('resource').map((e) => e.name)
  .find((url) => new RegExp(`/${n}\\.[0-9a-f]+\\.js$`).test(url)), name);
// The rule the Linux package installs (its one active line), as the page
// must advise it.
const RULES_FILE = new URL('../../packaging/linux/70-zelo.rules', import.meta.url);
export const packagedUdevRule = () => fs.readFileSync(RULES_FILE, 'utf8').split('\n').find((l) => /^SUBSYSTEM==/.test(l));
export const udevAdvice = () => `echo '${packagedUdevRule()}' | sudo tee /etc/udev/rules.d/70-zelo.rules`;
export const flashSettings = (page, model) => page.evaluate((m) => window.zeloFake.settings(0, m), model);

// The enabled, shown controls a user reaches with Tab, in document order.
export function focusableControls(page) {
  return page.evaluate(() => [...document.querySelectorAll('button, input, select, textarea, summary, [tabindex]')]
    .filter((e) => !e.disabled && e.tabIndex >= 0 && e.checkVisibility() && !e.closest('dialog:not([open])'))
    .map((e) => e.id || e.getAttribute('aria-label') || e.textContent));
}
// Focuses the page's first control, then presses Tab until each control
// had its turn; answers what held the focus at each step.
export async function tabWalk(page, controls) {
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
export async function unnamedControls(page) {
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
