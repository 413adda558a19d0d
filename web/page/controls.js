// The document's controls: settings, key mapping, device code and macros,
// drawn from the working copy. Each change goes to edit(change), where
// change(doc) alters the document. Every control has an id, so the one
// that held the focus holds it again after the controls are drawn anew.
import { msg, text } from './i18n.js';

const $ = (id) => document.getElementById(id);
const idOf = (prefix, name) => `${prefix}-${name.replace(/[^A-Za-z0-9]+/g, '-')}`;

// A check box that another setting's value makes pointless rests, as in
// the program (discrete power-on without power tracking).
function flagUsable(meta, current, row) {
  for (const [setting, usable] of Object.entries(row.usableWith || {})) {
    const choices = meta.settings.find((r) => r.name === setting)?.choices || [];
    if (usable[choices.indexOf(current.settings[setting])] === false) return false;
  }
  return true;
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

function settingControl(meta, current, edit, row) {
  const line = document.createElement('div');
  line.className = 'setting';
  const label = document.createElement('label');
  label.htmlFor = idOf('setting', row.name);
  label.textContent = row.label.replace(/&(.)/g, '$1');
  let control;
  if (row.kind === 'flag') {
    control = document.createElement('input');
    control.type = 'checkbox';
    control.checked = current.settings[row.name] === true;
    control.disabled = !flagUsable(meta, current, row);
    control.onchange = () => edit((doc) => { doc.settings[row.name] = control.checked; });
  } else {
    control = document.createElement('select');
    row.choices.forEach((choice, i) => control.add(new Option(row.choiceLabels[i] || choice, choice)));
    control.value = current.settings[row.name] ?? '';
    control.onchange = () => edit((doc) => { doc.settings[row.name] = control.value; });
  }
  control.id = label.htmlFor;
  line.append(label, control);
  if (row.help) line.append(choiceHelp(row, control));
  return line;
}

function numberField(id, labelText, value, onChange) {
  const label = document.createElement('label');
  label.textContent = labelText;
  const input = document.createElement('input');
  input.type = 'number';
  input.id = id;
  input.min = 0;
  input.value = value;
  input.onchange = () => onChange(Number(input.value));
  label.append(' ', input);
  return label;
}

function stepControl(meta, current, edit, m, s, step) {
  const line = document.createElement('div');
  line.className = 'step';
  const id = `macro-${m}-step-${s}`;
  const names = { '[MACRO]': current.macros[m].name, '[STEP]': String(s + 1) };
  const select = document.createElement('select');
  select.id = `${id}-command`;
  select.setAttribute('aria-label', text('stepCommand', names));
  for (const name of meta.macroCommands) select.add(new Option(name, name));
  select.value = step.command;
  select.onchange = () => edit((doc) => { doc.macros[m].steps[s].command = select.value; });
  const remove = document.createElement('button');
  remove.type = 'button';
  remove.id = `${id}-remove`;
  remove.textContent = text('removeStep');
  remove.setAttribute('aria-label', text('removeStepLabel', names));
  remove.onclick = () => edit((doc) => { doc.macros[m].steps.splice(s, 1); });
  line.append(select,
              numberField(`${id}-hold`, msg('Duration'), step.holdMs, (v) => edit((doc) => { doc.macros[m].steps[s].holdMs = v; })),
              numberField(`${id}-pause`, msg('Pause'), step.pauseMs, (v) => edit((doc) => { doc.macros[m].steps[s].pauseMs = v; })),
              remove);
  return line;
}

function macroControl(meta, current, edit, macro, m) {
  const box = document.createElement('fieldset');
  const legend = document.createElement('legend');
  legend.textContent = macro.name;
  box.append(legend);
  macro.steps.forEach((step, s) => box.append(stepControl(meta, current, edit, m, s, step)));
  const add = document.createElement('button');
  add.type = 'button';
  add.id = `macro-${m}-add`;
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
function keyMapControl(meta, current, edit, key) {
  const line = document.createElement('div');
  line.className = 'setting';
  const label = document.createElement('label');
  label.htmlFor = idOf('key', key);
  label.textContent = key;
  const select = document.createElement('select');
  select.id = label.htmlFor;
  for (const name of meta.keyMapCommands) select.add(new Option(name, name));
  select.value = current.keyMap[key];
  select.onchange = () => edit((doc) => { doc.keyMap[key] = select.value; });
  line.append(label, select);
  return line;
}

// Draws the controls of current (null: none); the focus stays where it was.
export function renderDocument(meta, current, edit) {
  const have = current !== null;
  for (const id of ['settings', 'device-code', 'macros', 'key-mapping']) $(id).hidden = !have;
  if (!have) return;
  const focused = document.activeElement?.id;
  const keys = meta.keyMapKeys.filter((key) => current.keyMap && key in current.keyMap);
  $('key-map-list').replaceChildren(...keys.map((key) => keyMapControl(meta, current, edit, key)));
  $('settings-list').replaceChildren(...meta.settings.map((row) => settingControl(meta, current, edit, row)));
  $('device-code-text').value = current.deviceCode ?? '';
  $('macro-list').replaceChildren(...(current.macros || []).map((macro, m) => macroControl(meta, current, edit, macro, m)));
  if (focused && document.activeElement?.id !== focused) $(focused)?.focus({ preventScroll: true });
}
