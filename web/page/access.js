// Which accessory the page uses and who else may: the interface that
// carries the accessory's reports among those the browser offers, one tab
// at a time through a Web Lock, and what an open that failed means.
import { text } from './i18n.js';
import { udevAdvice } from './advice.js';

const LOCK_NAME = 'zelo-accessory';
let release = null;

// The accessory's interface among the HIDDevices of a choice or getDevices().
export function accessoryInterface(hid, meta, devices) {
  return devices.find((d) => d.vendorId === meta.vendorId && d.productId === meta.productId && hid.carriesReports(d)) || null;
}

// True once this tab holds the accessory; false while another tab does.
export function holdAccessory() {
  if (release !== null || !navigator.locks) return Promise.resolve(true);
  return new Promise((resolve) => {
    navigator.locks.request(LOCK_NAME, { ifAvailable: true }, (lock) => {
      if (!lock) {
        resolve(false);
        return undefined;
      }
      resolve(true);
      return new Promise((done) => { release = () => { release = null; done(); }; });
    }).catch(() => resolve(true));
  });
}

export function releaseAccessory() {
  if (release !== null) release();
}

// The message for an open the browser refused, or null without one.
// NotAllowedError: on Linux a missing udev rule; elsewhere another
// program or tab holds the accessory.
export function openFailureMessage(error, meta) {
  if (!error) return null;
  if (error.name === 'NotAllowedError' && /Linux/.test(navigator.userAgent) && !/Android/.test(navigator.userAgent)) {
    return { line: text('linuxAccess'), detail: udevAdvice() };
  }
  if (error.name === 'NotAllowedError') return { line: text('openHeld') };
  return { line: text('openFailed', { '[REASON]': error.message }) };
}
