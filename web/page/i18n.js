// The page in the program's seven languages: the texts come from the
// core's catalogue (the program's own table), named by the generated
// message list. Texts only the page has stay English (texts.js).
import { messageNames } from './messages.js';

const STORED_KEY = 'zelo-language';
// The language tag of each language, for the page's lang attribute and the
// browser's preferred language; keyed by the program's language label.
const LANGUAGE_TAGS = { English: 'en', Dansk: 'da', Deutsch: 'de', Islenska: 'is', 'Español': 'es',
                        Italiano: 'it', 'Français': 'fr' };

let byName = new Map();
let languages = [];

// A catalogue text by message name, without the program's mnemonic marks.
export function msg(name, replacements = {}) {
  let text = (byName.get(name) ?? '').replace(/&(.)/g, '$1');
  for (const [marker, value] of Object.entries(replacements)) text = text.replace(marker, value);
  return text;
}

function applyToDocument(key) {
  for (const element of document.querySelectorAll('[data-msg]')) {
    const target = element.querySelector('.text') || element;
    target.textContent = msg(element.dataset.msg);
  }
  const label = languages.find((l) => l.key === key)?.label;
  document.documentElement.lang = LANGUAGE_TAGS[label] || 'en';
}

function preferredKey() {
  const stored = localStorage.getItem(STORED_KEY) === null ? NaN : Number(localStorage.getItem(STORED_KEY));
  if (languages.some((l) => l.key === stored)) return stored;
  for (const wanted of navigator.languages || [navigator.language]) {
    const tag = String(wanted).slice(0, 2).toLowerCase();
    const found = languages.find((l) => LANGUAGE_TAGS[l.label] === tag);
    if (found) return found.key;
  }
  return languages.find((l) => l.label === 'English')?.key;
}

async function load(core, key) {
  const answer = await core.texts(key);
  byName = new Map(messageNames.map((name, i) => [name, answer.texts[i]]));
  languages = answer.languages;
  return answer.key;
}

// Loads the preferred language and fills the language list; a change of
// the list reloads the texts and calls onChange.
export async function setUpLanguages(core, select, onChange) {
  await load(core, 0);
  const key = await load(core, preferredKey());
  select.replaceChildren(...languages.map((l) => new Option(l.label, String(l.key))));
  select.value = String(key);
  applyToDocument(key);
  select.onchange = async () => {
    const chosen = await load(core, select.value);
    localStorage.setItem(STORED_KEY, String(chosen));
    applyToDocument(chosen);
    onChange();
  };
}
