// The accessory's tools: the IR status and transmit, pairing, and the
// Bluetooth module. page gives the core, the model's controls (meta), the
// connection (info) and the page's busy().
import { msg, text } from './i18n.js';
import { timerMs } from './timing.js';
import { $, showMessage, showStatus } from './ui.js';

const CALL_OK = 0;
let page = null;

export function setUpTools(pageAccess) {
  page = pageAccess;
  $('ir-details').ontoggle = followIr;
  $('pair').onclick = pair;
  $('pair-open').onclick = openPairing;
  $('module-file').onchange = chooseModule;
  $('module-install').onclick = () => runModule(MODULE_INSTALL);
  $('module-restore').onclick = () => runModule(MODULE_RESTORE);
  $('module-erase').onclick = () => runModule(MODULE_ERASE);
  const send = $('ir-send');
  send.onpointerdown = () => transmit(true);
  send.onpointerup = send.onpointerleave = send.onblur = () => transmit(false);
  send.onkeydown = (e) => { if (e.key === ' ' || e.key === 'Enter') { e.preventDefault(); transmit(true); } };
  send.onkeyup = (e) => { if (e.key === ' ' || e.key === 'Enter') transmit(false); };
}

export function renderTools() {
  const { connected, model } = page.info();
  $('ir').hidden = !connected;
  $('ir-transmit').hidden = !(connected && model === 'x');
  $('module').hidden = !connected;
  if ($('ir-command').options.length === 0) {
    for (const name of page.meta().irTransmitCommands) $('ir-command').add(new Option(name, name));
  }
}

// While the receive part is open, the IR status is read every irPollMs, as
// the program's IR tab does: one read at a time, none while another call
// is under way, so reads never pile up behind a Save or a module run.
let irTimer = null;
let irRound = 0;
export function stopIr() {
  irRound += 1;
  clearTimeout(irTimer);
  irTimer = null;
}
export function followIr() {
  stopIr();
  if (!$('ir-details').open || !page.info().connected) return;
  const round = irRound;
  const poll = async () => {
    if (round !== irRound) return;
    if (page.core().idle()) {
      const status = await page.core().irStatus();
      if (round !== irRound) return;
      if (status.command) $('ir-last').textContent = status.command;
    }
    irTimer = setTimeout(poll, page.meta().irPollMs);
  };
  irTimer = setTimeout(poll, page.meta().irPollMs);
}

// Transmit runs from press to release (pointer or Space/Enter held).
let transmitting = false;
async function transmit(start) {
  if (start === transmitting) return;
  transmitting = start;
  const result = await page.core().irTransmit($('ir-command').selectedIndex, start);
  if (result.result !== CALL_OK && start) showMessage(text('transmitFailed'));
}

function openPairing() {
  const open = $('pairing').hidden;
  $('pairing').hidden = !open;
  $('pair-open').setAttribute('aria-expanded', String(open));
}

async function pair() {
  $('pair').disabled = true;
  const started = await page.core().pair();
  $('pairing-progress').value = started.position;
  if (started.result !== CALL_OK) {
    showMessage(text('pairingFailed'));
    $('pair').disabled = false;
    return;
  }
  const timer = setInterval(async () => {
    const tick = await page.core().pairingTick();
    $('pairing-progress').value = tick.position;
    if (tick.finished) {
      clearInterval(timer);
      $('pair').disabled = false;
      showStatus(text('pairingDone'));
    }
  }, timerMs('pairingTickMs', page.meta().pairingTickMs));
}

const MODULE_RESTORE = 1;
const MODULE_INSTALL = 2;
const MODULE_ERASE = 3;
const moduleButtons = ['module-install', 'module-restore', 'module-erase'];
let moduleFileChosen = false;

async function chooseModule() {
  const file = $('module-file').files[0];
  $('module-file').value = '';
  if (!file) return;
  // Larger than any module file: refused before its bytes are read.
  const answer = file.size > page.meta().maxModuleFileSize ? { installable: false }
    : await page.core().moduleChoose(file.name, new Uint8Array(await file.arrayBuffer()));
  if (answer.installable) {
    moduleFileChosen = true;
    $('module-file-name').textContent = file.name;
  } else {
    showMessage(text('moduleFileRefused', { '[NAME]': file.name }));
  }
  $('module-install').disabled = !moduleFileChosen;
}

async function runModule(kind) {
  for (const id of moduleButtons) $(id).disabled = true;
  $('module-progress').value = 0;
  $('module-status').textContent = kind === MODULE_ERASE ? text('erasingModule') : msg('InstallingModule');
  try {
    const outcome = await page.busy(text('moduleWorking'), () => page.core().moduleRun(kind));
    $('module-progress').value = Math.min(100, outcome.progress);
    $('module-status').textContent = outcome.text;
  } finally {
    for (const id of moduleButtons) $(id).disabled = false;
    $('module-install').disabled = !moduleFileChosen;
  }
}
