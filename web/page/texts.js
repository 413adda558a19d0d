// The page's own texts (English). The accessory's names (settings, list
// entries, commands) come from the core, as the settings files name them.
const SUPPORTED_BROWSERS = 'Google Chrome, Microsoft Edge, Opera or another Chromium-based browser (version 89 or later)';

export const texts = {
  notConnected: 'Not connected.',
  connected: 'Connected.',
  connectedUnsaved: 'Connected. There are unsaved changes.',
  connecting: 'Connecting…',
  saving: 'Saving…',
  saved: 'Saved.',
  noneChosen: 'No accessory was chosen.',
  unplugged: 'The accessory was unplugged. Changes that were not saved have not reached it.',
  unpluggedKept: 'The accessory was unplugged before your changes were saved. Export settings still writes them to a file; import that file once the accessory is connected again.',
  discardQuestion: 'There are unsaved changes. Connect anyway and lose them?',
  exported: 'The settings were exported.',
  fileTooLarge: 'the file is larger than a settings file can be',
  transmitFailed: 'The accessory did not take the transmit command.',
  pairingFailed: 'The pairing request did not reach the accessory.',
  pairingDone: 'Pairing finished.',
  moduleWorking: 'Working on the Bluetooth module…',
  erasingModule: 'Erasing the module…',
  moduleFileRefused: (name) => `${name} is not a module file that can be installed.`,
  addStep: 'Add step',
  removeStep: 'Remove',
  noWebHid: `This browser cannot talk to USB accessories: it lacks WebHID. Open this page in ${SUPPORTED_BROWSERS} on Windows, macOS, Linux or ChromeOS. (Firefox and Safari do not offer WebHID.)`,
  linuxAccess: 'Linux did not let the browser open the accessory. A udev rule gives the logged-in user access; install it with these commands, then unplug the accessory, plug it in again and press Connect:',
  modelName: (model) => ({ standard: 'ZE·LO', x: 'ZE·LO X' }[model] || 'unknown model'),
  openFailed: (reason) => `The accessory could not be opened: ${reason}`,
  editRefused: (reason) => `That value cannot be used: ${reason}`,
  stepCommand: (macro, step) => `${macro}, step ${step}: command`,
  removeStepLabel: (macro, step) => `Remove step ${step} of ${macro}`,
  addStepLabel: (macro) => `Add a step to ${macro}`,
};

// Connect results of the core (the program's connect sequence).
const CONNECT_UNSUPPORTED = 2;
const CONNECT_UPDATE_FAILED = 3;
const CONNECT_DECLINED = 4;

export function connectFailureText(result) {
  switch (result) {
    case CONNECT_UNSUPPORTED:
      return 'This accessory runs firmware newer than this page supports.';
    case CONNECT_UPDATE_FAILED:
      return 'The firmware update did not complete. Unplug the accessory, plug it in again and press Connect to repeat it.';
    case CONNECT_DECLINED:
      return 'The accessory was not connected: it needs the firmware update first.';
    default:
      return `The accessory did not answer (code ${result}). Unplug it, plug it in again and press Connect.`;
  }
}

const hex4 = (value) => value.toString(16).padStart(4, '0');

// The rule and the commands that install it, for the accessory's IDs.
export function udevRule(vendorId, productId) {
  const rule = `SUBSYSTEM=="hidraw", ATTRS{idVendor}=="${hex4(vendorId)}", ATTRS{idProduct}=="${hex4(productId)}", TAG+="uaccess"`;
  return [
    `echo '${rule}' | sudo tee /etc/udev/rules.d/70-zelo.rules`,
    'sudo udevadm control --reload-rules',
    'sudo udevadm trigger',
  ].join('\n');
}
