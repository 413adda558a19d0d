// What the page tells the user about connecting: the connect results'
// texts, the model's name and the udev rule Linux needs.
import { text } from './i18n.js';
import { udevRule } from './udev_rule.js';

// Connect results of the core (the program's connect sequence).
const CONNECT_UNSUPPORTED = 2;
const CONNECT_UPDATE_FAILED = 3;
const CONNECT_DECLINED = 4;

export function connectFailureText(result) {
  switch (result) {
    case CONNECT_UNSUPPORTED: return text('firmwareTooNew');
    case CONNECT_UPDATE_FAILED: return text('updateFailed');
    case CONNECT_DECLINED: return text('updateDeclined');
    default: return text('noAnswer', { '[CODE]': String(result) });
  }
}

// Product names stay the same in every language.
const MODEL_NAMES = { standard: 'ZE·LO', x: 'ZE·LO X' };
export const modelName = (model) => MODEL_NAMES[model] || text('unknownModel');

// The rule the Linux package installs, and the commands that install it.
export function udevAdvice() {
  return [
    `echo '${udevRule}' | sudo tee /etc/udev/rules.d/70-zelo.rules`,
    'sudo udevadm control --reload-rules',
    'sudo udevadm trigger',
  ].join('\n');
}
