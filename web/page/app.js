// The page: connect, the accessory's information, its settings, device
// code and macros, save. Every edit goes through the core as a settings
// document, so the page writes exactly what the program would.
import { loadCore } from './core.js';
import { connectFailureText, modelName, udevRule } from './advice.js';
import { languageKey, msg, setUpLanguages, text } from './i18n.js';
import { timerMs } from './timing.js';

const $ = (id) => document.getElementById(id);
const CONNECT_OK = 0;

let core = null;
let meta = null;
let current = null;  // the working copy as a settings document
let info = { connected: false, unsaved: false };
let currentText = '';       // current as the core wrote it
let keptText = null;        // unsaved changes of an accessory that was unplugged

function showStatus(line) { $('status').textContent = line; }

function showMessage(line, detail) {
  const box = $('message');
  box.replaceChildren();
  const p = document.createElement('p');
  p.textContent = line;
  box.append(p);
  if (detail) {
    const pre = document.createElement('pre');
    pre.textContent = detail;
    box.append(pre);
  }
  box.hidden = false;
}
function clearMessage() { $('message').hidden = true; }

const pageHooks = {
  progress(percent) { $('progress').value = percent; },
  moduleProgress(percent) { $('module-progress').value = percent; },
  // The core asks in the chosen language, with the versions filled in.
  askUpgrade: ask,
};

// A yes-or-no question in the page's dialog; Escape answers no.
function ask(question) {
  const dialog = $('ask');
  $('ask-text').textContent = question;
  return new Promise((resolve) => {
    const done = (answer) => { dialog.close(); resolve(answer); };
    $('ask-yes').onclick = () => done(true);
    $('ask-no').onclick = () => done(false);
    dialog.oncancel = () => resolve(false);
    dialog.showModal();
    $('ask-yes').focus();
  });
}

// Long work: the progress bar shows and the buttons rest until it ends.
async function busy(label, task) {
  $('progress-label').textContent = label;
  $('progress').value = 0;
  $('work').hidden = false;
  $('connect').disabled = true;
  $('save').disabled = true;
  $('export').disabled = true;
  $('import').disabled = true;
  try {
    return await task();
  } finally {
    $('work').hidden = true;
    $('connect').disabled = false;
    $('save').disabled = !(info.connected && info.configurationRead);
    enableFileButtons();
  }
}

function enableFileButtons() {
  const possible = info.connected && info.configurationRead && current !== null;
  $('export').disabled = !possible && keptText === null;
  $('import').disabled = !possible;
}

function showInfo() {
  $('accessory').hidden = !info.connected;
  $('info-model').textContent = modelName(info.model);
  $('info-firmware').textContent = info.firmware;
  $('info-loader').textContent = info.loader;
  $('save').disabled = !(info.connected && info.configurationRead);
  showStatus(info.connected ? (info.unsaved ? text('connectedUnsaved') : text('connected')) : text('notConnected'));
  $('status').dataset.connected = String(info.connected);
  $('status').dataset.unsaved = String(info.unsaved);
  enableFileButtons();
}

// ---- the document's controls ----------------------------------------

// A check box that another setting's value makes pointless rests, as in
// the program (discrete power-on without power tracking).
function flagUsable(row) {
  for (const [setting, usable] of Object.entries(row.usableWith || {})) {
    const choices = meta.settings.find((r) => r.name === setting)?.choices || [];
    if (usable[choices.indexOf(current.settings[setting])] === false) return false;
  }
  return true;
}

function settingControl(row) {
  const line = document.createElement('div');
  line.className = 'setting';
  const id = `setting-${row.name.replace(/[^A-Za-z0-9]+/g, '-')}`;
  const label = document.createElement('label');
  label.htmlFor = id;
  label.textContent = row.label.replace(/&(.)/g, '$1');
  let control;
  if (row.kind === 'flag') {
    control = document.createElement('input');
    control.type = 'checkbox';
    control.checked = current.settings[row.name] === true;
    control.disabled = !flagUsable(row);
    control.onchange = () => edit((doc) => { doc.settings[row.name] = control.checked; });
  } else {
    control = document.createElement('select');
    row.choices.forEach((choice, i) => control.add(new Option(row.choiceLabels[i] || choice, choice)));
    control.value = current.settings[row.name] ?? '';
    control.onchange = () => edit((doc) => { doc.settings[row.name] = control.value; });
  }
  control.id = id;
  line.append(label, control);
  if (row.help) line.append(choiceHelp(row, control));
  return line;
}

// Under a list with help texts (the receiver modes): the chosen entry's
// help and, for the modes that need it, the power note, as the program
// shows them; the list is described by both.
function choiceHelp(row, control) {
  const help = document.createElement('div');
  help.className = 'help';
  help.id = `${control.id}-help`;
  const show = () => {
    const index = Math.max(0, row.choices.indexOf(control.value));
    const lines = [row.help[index], row.notes[index]].filter((line) => line);
    help.replaceChildren(...lines.map((line) => Object.assign(document.createElement('p'), { textContent: line })));
  };
  control.setAttribute('aria-describedby', help.id);
  control.addEventListener('input', show);
  show();
  return help;
}

function numberField(labelText, value, onChange) {
  const label = document.createElement('label');
  label.textContent = labelText;
  const input = document.createElement('input');
  input.type = 'number';
  input.min = 0;
  input.value = value;
  input.onchange = () => onChange(Number(input.value));
  label.append(' ', input);
  return label;
}

function stepControl(m, s, step) {
  const line = document.createElement('div');
  line.className = 'step';
  const select = document.createElement('select');
  select.setAttribute('aria-label', text('stepCommand', { '[MACRO]': current.macros[m].name, '[STEP]': String(s + 1) }));
  for (const name of meta.macroCommands) select.add(new Option(name, name));
  select.value = step.command;
  select.onchange = () => edit((doc) => { doc.macros[m].steps[s].command = select.value; });
  const remove = document.createElement('button');
  remove.type = 'button';
  remove.textContent = text('removeStep');
  remove.setAttribute('aria-label', text('removeStepLabel', { '[MACRO]': current.macros[m].name, '[STEP]': String(s + 1) }));
  remove.onclick = () => edit((doc) => { doc.macros[m].steps.splice(s, 1); });
  line.append(select,
              numberField(msg('Duration'), step.holdMs, (v) => edit((doc) => { doc.macros[m].steps[s].holdMs = v; })),
              numberField(msg('Pause'), step.pauseMs, (v) => edit((doc) => { doc.macros[m].steps[s].pauseMs = v; })),
              remove);
  return line;
}

function macroControl(macro, m) {
  const box = document.createElement('fieldset');
  const legend = document.createElement('legend');
  legend.textContent = macro.name;
  box.append(legend);
  macro.steps.forEach((step, s) => box.append(stepControl(m, s, step)));
  const add = document.createElement('button');
  add.type = 'button';
  add.textContent = text('addStep');
  add.setAttribute('aria-label', text('addStepLabel', { '[MACRO]': macro.name }));
  add.disabled = macro.steps.length >= meta.macroStepLimit;
  add.onclick = () => edit((doc) => {
    doc.macros[m].steps.push({ command: meta.macroCommands[0], holdMs: 0, pauseMs: 0 });
  });
  box.append(add);
  return box;
}

// The key mapping page: every IR key the document carries, in the
// program's list order, with the command it sends.
function keyMapControl(key) {
  const line = document.createElement('div');
  line.className = 'setting';
  const id = `key-${key.replace(/[^A-Za-z0-9]+/g, '-')}`;
  const label = document.createElement('label');
  label.htmlFor = id;
  label.textContent = key;
  const select = document.createElement('select');
  select.id = id;
  for (const name of meta.keyMapCommands) select.add(new Option(name, name));
  select.value = current.keyMap[key];
  select.onchange = () => edit((doc) => { doc.keyMap[key] = select.value; });
  line.append(label, select);
  return line;
}

function renderIr() {
  $('ir').hidden = !info.connected;
  $('ir-transmit').hidden = !(info.connected && info.model === 'x');
  if ($('ir-command').options.length === 0) {
    for (const name of meta.irTransmitCommands) $('ir-command').add(new Option(name, name));
  }
}

function render() {
  renderIr();
  $('module').hidden = !info.connected;
  const have = current !== null;
  for (const id of ['settings', 'device-code', 'macros', 'key-mapping']) $(id).hidden = !have;
  if (!have) return;
  const keys = meta.keyMapKeys.filter((key) => current.keyMap && key in current.keyMap);
  $('key-map-list').replaceChildren(...keys.map(keyMapControl));
  $('settings-list').replaceChildren(...meta.settings.map(settingControl));
  $('device-code-text').value = current.deviceCode ?? '';
  $('macro-list').replaceChildren(...(current.macros || []).map(macroControl));
}

async function reload() {
  info = await core.info();
  const answer = await core.document();
  current = answer.document ? JSON.parse(answer.document) : null;
  currentText = answer.document || '';
  meta = current ? await core.meta(current.model) : meta;
  showInfo();
  render();
}

// One edit: the changed document goes to the core, which checks all of it
// the way it checks a settings file; a refused edit shows why and the
// controls go back to what the accessory's working copy holds.
async function edit(change) {
  if (!current) return;
  const doc = structuredClone(current);
  change(doc);
  const result = await core.apply(JSON.stringify(doc));
  if (!result.applied) showMessage(text('editRefused', { '[REASON]': result.refusal }));
  else clearMessage();
  await reload();
}

// The program's Restore default settings: after the warning, the defaults
// replace the working copy and are saved at once.
async function restoreDefaults() {
  if (!window.confirm(`${msg('RestoreDefaultsWarning')}\n\n${msg('ContinueQuestion')}`)) return;
  const result = await busy(text('saving'), () => core.restoreDefaults());
  await reload();
  if (!result.restored) return;
  if (result.result === CONNECT_OK) { clearMessage(); showStatus(text('saved')); }
  else showMessage(msg('SaveFailed'));
  if (result.unprotected) showMessage(msg('SaveUnprotected'));
}

// ---- settings files ----------------------------------------------------

const SETTINGS_EXTENSION = '.zelo';

// What the pages show, unsaved edits included, as the program exports.
async function exportSettings() {
  const written = info.connected ? (await core.document()).document : keptText;
  if (!written) return;
  const blob = new Blob([written], { type: 'application/json' });
  const link = document.createElement('a');
  link.href = URL.createObjectURL(blob);
  link.download = `zelo-settings${SETTINGS_EXTENSION}`;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 0);
  showStatus(text('exported'));
}

// A file is checked whole before anything changes; accepted, its values
// become unsaved edits.
async function importSettings() {
  const file = $('import').files[0];
  $('import').value = '';
  if (!file) return;
  if (file.size > meta.maxFileSize) {
    showMessage(msg('SettingsImportRefused', { '[REASON]': text('fileTooLarge') }));
    return;
  }
  const result = await core.apply(await file.text());
  await reload();
  if (!result.applied) showMessage(msg('SettingsImportRefused', { '[REASON]': result.refusal }));
  else if (result.warnings.length > 0) showMessage(msg('SettingsImportedPartly', { '[REASON]': result.warnings.join('\n') }));
  else { clearMessage(); showStatus(msg('SettingsImported')); }
}

// ---- IR and pairing ----------------------------------------------------

// While the receive part is open, the IR status is read every irPollMs,
// as the program's IR tab does.
let irTimer = null;
function followIr() {
  clearInterval(irTimer);
  irTimer = null;
  if (!$('ir-details').open || !info.connected) return;
  irTimer = setInterval(async () => {
    if (!info.connected) return;
    const status = await core.irStatus();
    if (status.command) $('ir-last').textContent = status.command;
  }, meta.irPollMs);
}

// Transmit runs from press to release (pointer or Space/Enter held).
let transmitting = false;
async function transmit(start) {
  if (start === transmitting) return;
  transmitting = start;
  const result = await core.irTransmit($('ir-command').selectedIndex, start);
  if (result.result !== CONNECT_OK && start) showMessage(text('transmitFailed'));
}

function openPairing() {
  const open = $('pairing').hidden;
  $('pairing').hidden = !open;
  $('pair-open').setAttribute('aria-expanded', String(open));
}

async function pair() {
  $('pair').disabled = true;
  const started = await core.pair();
  $('pairing-progress').value = started.position;
  if (started.result !== CONNECT_OK) {
    showMessage(text('pairingFailed'));
    $('pair').disabled = false;
    return;
  }
  const timer = setInterval(async () => {
    const tick = await core.pairingTick();
    $('pairing-progress').value = tick.position;
    if (tick.finished) {
      clearInterval(timer);
      $('pair').disabled = false;
      showStatus(text('pairingDone'));
    }
  }, timerMs('pairingTickMs', meta.pairingTickMs));
}

// ---- the Bluetooth module ----------------------------------------------

const MODULE_RESTORE = 1;
const MODULE_INSTALL = 2;
const MODULE_ERASE = 3;
const moduleButtons = ['module-install', 'module-restore', 'module-erase'];
let moduleFileChosen = false;

async function chooseModule() {
  const file = $('module-file').files[0];
  $('module-file').value = '';
  if (!file) return;
  const answer = await core.moduleChoose(file.name, new Uint8Array(await file.arrayBuffer()));
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
    const outcome = await busy(text('moduleWorking'), () => core.moduleRun(kind));
    $('module-progress').value = Math.min(100, outcome.progress);
    $('module-status').textContent = outcome.text;
  } finally {
    for (const id of moduleButtons) $(id).disabled = false;
    $('module-install').disabled = !moduleFileChosen;
  }
}

// ---- connect and save ------------------------------------------------

function explainOpenFailure() {
  const error = core.hid.lastOpenError;
  if (error && error.name === 'NotAllowedError' && /Linux/.test(navigator.userAgent)) {
    showMessage(text('linuxAccess'), udevRule(meta.vendorId, meta.productId));
    return true;
  }
  if (error) {
    showMessage(text('openFailed', { '[REASON]': error.message }));
    return true;
  }
  return false;
}

async function connectTo(device) {
  keptText = null;
  // One accessory at a time: the one the user picked.
  await core.disconnect();
  core.hid.keepOnly(device);
  clearMessage();
  const result = await busy(text('connecting'), () => core.connect());
  info = result;
  if (result.result !== CONNECT_OK && !explainOpenFailure()) showMessage(connectFailureText(result.result));
  await reload();
  const notices = { damaged: 'UnfinishedSaveDamaged', stale: 'UnfinishedSaveStale', unreadable: 'UnfinishedSaveUnreadable' };
  if (notices[result.unfinishedSave]) showMessage(msg(notices[result.unfinishedSave]));
  if (result.unfinishedSave === 'differs') await settleUnfinishedSave();
}

// A Save an unplug cut short left the accessory part old, part new: Yes
// writes the settings that Save was writing, No those from before it.
async function settleUnfinishedSave() {
  const finish = await ask(msg('UnfinishedSave'));
  await written(await busy(text('saving'), () => (finish ? core.finishSave() : core.keepSettings())));
}

// After a call that wrote the configuration: its outcome, and a warning
// when the write could not be recorded first.
async function written(result) {
  info = result;
  if (result.result === CONNECT_OK) clearMessage();
  else showMessage(msg('SaveFailed'));
  await reload();
  if (result.unprotected) showMessage(msg('SaveUnprotected'));
  if (result.result === CONNECT_OK) showStatus(text('saved'));
}

async function chooseAndConnect() {
  if (info.unsaved && !window.confirm(text('discardQuestion'))) return;
  let devices;
  try {
    devices = await navigator.hid.requestDevice({ filters: [{ vendorId: meta.vendorId, productId: meta.productId }] });
  } catch (error) {
    showMessage(text('openFailed', { '[REASON]': error.message }));
    return;
  }
  if (!devices || devices.length === 0) {
    showStatus(text('noneChosen'));
    return;
  }
  await connectTo(devices.find((d) => core.hid.carriesReports(d)) || devices[0]);
}

async function save() {
  await written(await busy(text('saving'), () => core.save()));
}

// The accessory went away: whatever was under way has failed by now (its
// reads and writes fail at once), the link is closed.
// Unsaved changes stay exportable, so nothing the user did is lost.
async function onDisconnect() {
  const wasConnected = info.connected;
  if (wasConnected && info.unsaved && currentText) keptText = currentText;
  clearInterval(irTimer);
  await core.disconnect();
  await reload();
  if (wasConnected) showMessage(keptText !== null ? text('unpluggedKept') : text('unplugged'));
}

// An accessory the user allowed before is plugged in: connect to it as
// the program does after a plug-in, unless one is connected already.
async function onConnect(event) {
  const device = event.device;
  if (info.connected || device.vendorId !== meta.vendorId || device.productId !== meta.productId ||
      !core.hid.carriesReports(device)) return;
  await connectTo(device);
}

// A change of language reaches the core too: its questions, outcome texts
// and the settings' labels follow it.
async function languageChanged() {
  if (!core) return;
  await core.setLanguage(languageKey());
  meta = await core.meta(current ? current.model : 'standard');
  showInfo();
  render();
}

async function start() {
  setUpLanguages($('language'), languageChanged);
  if (!('hid' in navigator) || !navigator.hid) {
    showMessage(text('noWebHid'));
    $('connect').disabled = true;
    showStatus(text('notConnected'));
    return;
  }
  core = await loadCore(pageHooks);
  await core.setLanguage(languageKey());
  meta = await core.meta('standard');
  core.hid.attach(navigator.hid);
  navigator.hid.addEventListener('disconnect', onDisconnect);
  navigator.hid.addEventListener('connect', onConnect);
  $('connect').onclick = chooseAndConnect;
  $('save').onclick = save;
  $('export').onclick = exportSettings;
  $('restore-defaults').onclick = restoreDefaults;
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
  $('import').onchange = importSettings;
  $('device-code-text').onchange = () => edit((doc) => { doc.deviceCode = $('device-code-text').value.trim(); });
  window.addEventListener('beforeunload', (event) => {
    if (info.unsaved) { event.preventDefault(); event.returnValue = ''; }
  });
  document.body.dataset.ready = 'true';
}

start();
