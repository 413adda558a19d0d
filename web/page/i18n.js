// The page in the program's seven languages. Every text comes from the
// generated texts.js: the program's catalogue (named by the generated
// message list) and the page's own texts, both from C++ tables.
import { englishKey, languages } from './texts.js';
import { messageNames } from './messages.js';

const STORED_KEY = 'zelo-language';
const english = languages.find((l) => l.key === englishKey);
let current = english;
let catalogue = new Map();

// Every marker, in one pass: the values are the user's text (file names,
// refusal reasons) and are put in as they are, never read as patterns or
// searched for markers again.
function fill(text, replacements) {
  const markers = Object.keys(replacements);
  if (markers.length === 0) return text;
  const pattern = new RegExp(markers.map((m) => m.replace(/[.*+?^${}()|[\]\\]/g, '\\$&')).join('|'), 'g');
  return text.replace(pattern, (marker) => String(replacements[marker]));
}

// A catalogue text by message name, without the program's mnemonic marks.
export function msg(name, replacements = {}) {
  return fill((catalogue.get(name) ?? '').replace(/&(.)/g, '$1'), replacements);
}

// A page text by name, its markers ("[REASON]", "[MACRO]" …) filled.
export function text(name, replacements = {}) {
  return fill(current.page[name] ?? english.page[name] ?? '', replacements);
}

export const languageKey = () => current.key;

function choose(language) {
  current = language;
  catalogue = new Map(messageNames.map((name, i) => [name, language.catalogue[i]]));
  for (const element of document.querySelectorAll('[data-msg]')) {
    (element.querySelector('.text') || element).textContent = msg(element.dataset.msg);
  }
  for (const element of document.querySelectorAll('[data-text]')) {
    (element.querySelector('.text') || element).textContent = text(element.dataset.text);
  }
  document.title = text('title');
  document.documentElement.lang = language.tag;
}

// The stored choice, else the browser's first language the program has,
// else English.
function preferred() {
  const stored = localStorage.getItem(STORED_KEY);
  const kept = languages.find((l) => stored !== null && String(l.key) === stored);
  if (kept) return kept;
  for (const wanted of navigator.languages || [navigator.language]) {
    const tag = String(wanted).slice(0, 2).toLowerCase();
    const found = languages.find((l) => l.tag === tag);
    if (found) return found;
  }
  return english;
}

// Shows the page in the preferred language and fills the language list; a
// change of the list is kept and calls onChange.
export function setUpLanguages(select, onChange) {
  select.replaceChildren(...languages.map((l) => new Option(l.label, String(l.key))));
  choose(preferred());
  select.value = String(current.key);
  select.onchange = () => {
    choose(languages.find((l) => String(l.key) === select.value) || english);
    localStorage.setItem(STORED_KEY, String(current.key));
    onChange();
  };
}
