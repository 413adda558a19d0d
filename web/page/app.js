// The page: connect, the accessory's information, its settings, device
// code and macros, save. Every edit goes through the core as a settings
// document, so the page writes exactly what the program would.
import { accessoryInterface, holdAccessory, openFailureMessage, releaseAccessory } from './access.js';
import { connectFailureText, modelName, udevAdvice } from './advice.js';
import { renderDocument } from './controls.js';
import { languageKey, msg, setUpLanguages, text } from './i18n.js';
import { followIr, renderTools, setUpTools, stopIr } from './tools.js';
import { $, ask, clearMessage, showMessage, showStatus } from './ui.js';

const CONNECT_OK = 0;

let core = null;
let meta = null;
let current = null;  // the working copy as a settings document
let info = { connected: false, unsaved: false };
let currentText = '';    // current as the core wrote it
let device = null;       // the HIDDevice in use
let kept = null;         // {text, exported}: unsaved changes of an accessory that was unplugged
let busyCount = 0;
let recordsTold = false;

const pageHooks = {
  progress(percent) { $('progress').value = percent; },
  moduleProgress(percent) { $('module-progress').value = percent; },
  // The core asks in the chosen language, with the versions filled in.
  askUpgrade: ask,
};

function enableButtons() {
  const idle = busyCount === 0 && core !== null;
  const possible = info.connected && info.configurationRead && current !== null;
  $('connect').disabled = !idle;
  $('disconnect').disabled = !idle || device === null;
  $('forget').disabled = !idle || device === null;
  $('save').disabled = !idle || !(info.connected && info.configurationRead);
  $('export').disabled = !idle || (!possible && kept === null);
  $('import').disabled = !idle || !possible;
}

// Long work: the progress bar shows and the buttons rest until it ends.
async function busy(label, task) {
  $('progress-label').textContent = label;
  $('progress').value = 0;
  $('work').hidden = false;
  busyCount += 1;
  enableButtons();
  try {
    return await task();
  } finally {
    busyCount -= 1;
    $('work').hidden = busyCount === 0;
    enableButtons();
  }
}

// The header names the connected accessory: its name, model and versions.
function headerLine() {
  if (!info.connected || device === null) return '';
  return [device.productName, modelName(info.model), `${text('firmware')} ${info.firmware}`,
          `${text('loader')} ${info.loader}`].filter((part) => part).join(' · ');
}

function showInfo() {
  $('accessory').hidden = !info.connected;
  $('info-model').textContent = modelName(info.model);
  $('info-firmware').textContent = info.firmware;
  $('info-loader').textContent = info.loader;
  $('header-accessory').textContent = headerLine();
  showStatus(info.connected ? (info.unsaved ? text('connectedUnsaved') : text('connected')) : text('notConnected'));
  $('status').dataset.connected = String(info.connected);
  $('status').dataset.unsaved = String(info.unsaved);
  enableButtons();
}
function render() {
  renderTools();
  renderDocument(meta, current, edit);
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

// One edit: the core makes it on its working copy and checks all of it
// the way it checks a settings file; a refused edit shows why and the
// controls go back to what the working copy holds.
async function edit(change) {
  if (!current) return;
  const result = await core.edit(change);
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

// What the pages show, unsaved edits included, as the program exports;
// without an accessory, the changes kept from the one unplugged.
async function exportSettings() {
  const written = info.connected ? (await core.document()).document : kept?.text;
  if (!written) return;
  if (!info.connected) kept.exported = true;
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

// The outcome of a document brought onto the working copy.
function showApplied(result, doneText) {
  if (!result.applied) showMessage(msg('SettingsImportRefused', { '[REASON]': result.refusal }));
  else if (result.warnings.length > 0) showMessage(msg('SettingsImportedPartly', { '[REASON]': result.warnings.join('\n') }));
  else { clearMessage(); showStatus(doneText); }
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
  showApplied(result, msg('SettingsImported'));
}
// ---- connect and save ------------------------------------------------

// Connects to the accessory's interface, once this tab may hold it.
async function connectTo(chosen) {
  if (!(await holdAccessory())) {
    showMessage(text('otherTab'));
    return;
  }
  stopIr();
  device = null;
  // One accessory at a time: the one the user picked.
  await core.disconnect();
  core.hid.keepOnly(chosen);
  core.hid.lastOpenError = null;
  clearMessage();
  const result = await busy(text('connecting'), () => core.connect());
  info = result;
  if (result.result === CONNECT_OK) device = chosen;
  else releaseAccessory();
  await reload();
  if (device === null) {
    const failure = openFailureMessage(core.hid.lastOpenError, meta);
    if (failure) showMessage(failure.line, failure.detail);
    else showMessage(connectFailureText(result.result));
    return;
  }
  if (!result.recordsKept && !recordsTold) {
    recordsTold = true;
    showMessage(text('noRecords'));
  }
  const notices = { damaged: 'UnfinishedSaveDamaged', stale: 'UnfinishedSaveStale', unreadable: 'UnfinishedSaveUnreadable' };
  if (notices[result.unfinishedSave]) showMessage(msg(notices[result.unfinishedSave]));
  if (result.unfinishedSave === 'differs') await settleUnfinishedSave(result.unfinishedSaveQuestion);
  await offerKeptChanges();
  followIr();
}

// A Save an unplug cut short left the accessory part old, part new: Yes
// writes the settings that Save was writing, No those from before it (a
// record of an earlier version has none: No keeps the settings as they are).
async function settleUnfinishedSave(question) {
  const finish = await ask(question);
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

// Changes kept from an accessory that was unplugged: Yes brings them onto
// this one as unsaved changes, No drops them.
async function offerKeptChanges() {
  if (kept === null || !info.configurationRead) return;
  const { text: keptText } = kept;
  if (!(await ask(text('applyKept')))) {
    kept = null;
    enableButtons();
    return;
  }
  const result = await core.apply(keptText);
  kept = null;
  await reload();
  showApplied(result, text('keptApplied'));
}

// The chooser first: a question before it would use up the click the
// browser needs to show it.
async function chooseAndConnect() {
  let devices;
  try {
    devices = await navigator.hid.requestDevice({ filters: [{ vendorId: meta.vendorId, productId: meta.productId }] });
  } catch (error) {
    showMessage(text('openFailed', { '[REASON]': error.message }));
    return;
  }
  const chosen = accessoryInterface(core.hid, meta, devices || []);
  if (!chosen) {
    showStatus(text('noneChosen'));
    return;
  }
  if (info.unsaved && !window.confirm(text('discardQuestion'))) return;
  await connectTo(chosen);
}

// An accessory the browser still allows this page: connected without the chooser.
async function connectPermitted() {
  const devices = await navigator.hid.getDevices().catch(() => []);
  const permitted = accessoryInterface(core.hid, meta, devices);
  if (permitted && device === null) await connectTo(permitted);
}

// Disconnect: the accessory is closed and free for the desktop program.
async function disconnect() {
  if (info.unsaved && !window.confirm(text('discardQuestion'))) return false;
  stopIr();
  device = null;
  await core.disconnect();
  releaseAccessory();
  clearMessage();
  await reload();
  showStatus(text('disconnected'));
  return true;
}

// The browser drops its permission: the next Connect asks again.
async function forget() {
  const forgotten = device;
  if (!(await disconnect())) return;
  core.hid.remove(forgotten);
  await forgotten.forget();
  showStatus(text('forgotten'));
}

async function save() {
  await written(await busy(text('saving'), () => core.save()));
}

// The accessory in use went away (another device leaving changes
// nothing): whatever was under way has failed by now, the link is
// closed. Unsaved changes are kept, to export or to bring onto the
// accessory when it is back.
async function onDisconnect(event) {
  if (device === null || event.device !== device) return;
  device = null;
  if (info.unsaved && currentText) kept = { text: currentText, exported: false };
  stopIr();
  await core.disconnect();
  releaseAccessory();
  await reload();
  showMessage(kept !== null ? text('unpluggedKept') : text('unplugged'));
}

// An accessory the user allowed before is plugged in: connect to it as
// the program does after a plug-in, unless one is connected already.
async function onConnect(event) {
  if (device !== null || busyCount > 0) return;
  const chosen = accessoryInterface(core.hid, meta, [event.device]);
  if (chosen) await connectTo(chosen);
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

function helpText() {
  $('help-linux-rule').textContent = udevAdvice();
}

// Once loaded the page works offline: a service worker keeps its files.
function keepOffline() {
  if ('serviceWorker' in navigator) navigator.serviceWorker.register('sw.js').catch(() => {});
}

function wire() {
  navigator.hid.addEventListener('disconnect', onDisconnect);
  navigator.hid.addEventListener('connect', onConnect);
  $('connect').onclick = chooseAndConnect;
  $('disconnect').onclick = disconnect;
  $('forget').onclick = forget;
  $('save').onclick = save;
  $('export').onclick = exportSettings;
  $('restore-defaults').onclick = restoreDefaults;
  setUpTools({ core: () => core, meta: () => meta, info: () => info, busy });
  $('import').onchange = importSettings;
  $('device-code-text').onchange = () => {
    const code = $('device-code-text').value.trim();
    edit((doc) => { doc.deviceCode = code; });
  };
  window.addEventListener('beforeunload', (event) => {
    if (info.unsaved || (kept !== null && !kept.exported)) { event.preventDefault(); event.returnValue = ''; }
  });
}

// The core, or why it could not be had; Connect rests until it is there.
async function startCore() {
  try {
    core = await loadCore(pageHooks);
    await core.setLanguage(languageKey());
    meta = await core.meta('standard');
    return true;
  } catch (error) {
    core = null;
    showMessage(text('coreFailed', { '[REASON]': String(error?.message || error) }));
    return false;
  }
}

async function start() {
  setUpLanguages($('language'), languageChanged);
  showStatus(text('notConnected'));
  if (!window.isSecureContext) {
    showMessage(text('notSecure'));
    return;
  }
  if (!('hid' in navigator) || !navigator.hid) {
    showMessage(text('noWebHid'));
    return;
  }
  if (!(await startCore())) return;
  core.hid.attach(navigator.hid);
  wire();
  helpText();
  enableButtons();
  keepOffline();
  document.body.dataset.ready = 'true';
  await connectPermitted();
}

// The core is imported only here, so a missing or damaged one is told.
async function loadCore(hooks) {
  const { loadCore: load } = await import('./core.js');
  return load(hooks);
}

start();
