// The JavaScript half of the WebHID backend (webhid_backend.cpp): the
// HIDDevice objects the page may use, the library's channels on them and
// each read channel's queue of input reports, filled by the inputreport
// event. A device's disconnect fails its channels and wakes their reads.
Module.zeloHid = (function () {
  'use strict';
  const READ_TIMED_OUT = 0;
  const READ_CANCELLED = -1;
  const READ_FAILED = -2;
  const PATH_PREFIX = 'webhid#';
  const DEFAULT_INPUT_BUFFERS = 64;
  // A report goes out or a feature report comes back within milliseconds
  // on a working link; one that takes longer will not come. Tests may
  // shorten it through window.zeloTiming.reportLimitMs.
  const REPORT_LIMIT_MS = 5000;
  const NOT_SENT_YET = 'not sent yet';
  const reportLimitMs = () => {
    const shortened = (globalThis.zeloTiming || {}).reportLimitMs;
    return Number.isFinite(shortened) && shortened > 0 ? shortened : REPORT_LIMIT_MS;
  };

  const entries = [];          // {device, id, gone, opened, users}
  const channels = new Map();  // token -> {entry, queue, limit, waiter, cancelled}
  let nextId = 1;
  let nextToken = 1;

  // Length in bytes of report 0 of a kind, the report-ID byte included.
  function reportLength(device, kind) {
    let bits = 0;
    for (const collection of device.collections || []) {
      for (const report of collection[kind] || []) {
        if (report.reportId !== 0) continue;
        for (const item of report.items || []) bits += item.reportSize * item.reportCount;
      }
    }
    return bits > 0 ? 1 + Math.ceil(bits / 8) : 0;
  }

  // An answer on the next turn of the event loop: a caller that finds
  // nothing to wait for must still give the browser its turn.
  const later = (value) => new Promise((resolve) => setTimeout(() => resolve(value), 0));

  // The browser's call, or failure when the device leaves (late when the
  // limit passes) first: a call that never settles must not hold the core.
  function settled(entry, call, failure, late = failure) {
    let timer = null;
    const limit = new Promise((resolve) => { timer = setTimeout(() => resolve(late), reportLimitMs()); });
    return Promise.race([call.catch(() => failure), entry.left.then(() => failure), limit])
      .finally(() => clearTimeout(timer));
  }

  function entryOfDevice(device) { return entries.find((e) => e.device === device); }
  function entryOfPath(path) {
    return entries.find((e) => !e.gone && PATH_PREFIX + e.id === path);
  }
  function usable(token) {
    const channel = channels.get(token);
    return channel && !channel.entry.gone ? channel : null;
  }
  function wake(channel, value) {
    if (!channel.waiter) return;
    const waiter = channel.waiter;
    channel.waiter = null;
    clearTimeout(waiter.timer);
    waiter.resolve(value);
  }

  function onInput(entry, event) {
    const length = Math.max(entry.lengths[0], event.data.byteLength + 1);
    const report = new Uint8Array(length);
    report[0] = event.reportId;
    report.set(new Uint8Array(event.data.buffer, event.data.byteOffset, event.data.byteLength), 1);
    for (const channel of channels.values()) {
      if (channel.entry !== entry) continue;
      channel.queue.push(report);
      // Like the system's ring of input buffers: the oldest report goes.
      if (channel.queue.length > channel.limit) channel.queue.shift();
      wake(channel, null);
    }
  }

  function takeReports(channel, capacity) {
    const parts = [];
    let size = 0;
    while (channel.queue.length > 0 && size + channel.queue[0].length <= capacity) {
      const report = channel.queue.shift();
      parts.push(report);
      size += report.length;
    }
    const out = new Uint8Array(size);
    let at = 0;
    for (const part of parts) { out.set(part, at); at += part.length; }
    return out;
  }

  const api = {
    reportIdErrors: 0,
    // The error of the latest failed open (a DOMException's name and
    // message), for the page to explain; null after a good one.
    lastOpenError: null,

    add(device) {
      let entry = entryOfDevice(device);
      if (entry && !entry.gone) return entry.id;
      entry = { device, id: nextId++, gone: false, opened: false, users: 0, lengths: [0, 0, 0], sendStuck: false };
      entry.left = new Promise((resolve) => { entry.leave = resolve; });
      entry.lengths = [reportLength(device, 'inputReports'), reportLength(device, 'outputReports'),
                       reportLength(device, 'featureReports')];
      entry.listener = (event) => onInput(entry, event);
      device.addEventListener('inputreport', entry.listener);
      entries.push(entry);
      return entry.id;
    },
    remove(device) {
      const entry = entryOfDevice(device);
      if (!entry) return;
      entry.gone = true;
      entry.leave();
      device.removeEventListener('inputreport', entry.listener);
      entries.splice(entries.indexOf(entry), 1);
      for (const channel of channels.values()) {
        if (channel.entry === entry) wake(channel, READ_FAILED);
      }
    },
    // Forgets every device but this one, which it adds.
    keepOnly(device) {
      for (const entry of entries.slice()) {
        if (entry.device !== device) api.remove(entry.device);
      }
      return api.add(device);
    },
    // Follows plug and unplug events of a navigator.hid (or its stand-in).
    attach(hid) {
      hid.addEventListener('disconnect', (event) => api.remove(event.device));
    },

    // Whether a device has the reports the accessory's interface has
    // (input and output report 0); a device may show more interfaces.
    carriesReports(device) {
      return reportLength(device, 'inputReports') > 0 && reportLength(device, 'outputReports') > 0;
    },

    count() { return entries.filter((e) => !e.gone).length; },
    pathAt(index) {
      const live = entries.filter((e) => !e.gone);
      return index >= 0 && index < live.length ? PATH_PREFIX + live[index].id : null;
    },
    isPath(path) { return entryOfPath(path) !== undefined; },

    async open(path) {
      const entry = entryOfPath(path);
      if (!entry) return 0;
      try {
        if (!entry.device.opened) await entry.device.open();
        api.lastOpenError = null;
      } catch (error) {
        api.lastOpenError = { name: error.name || 'Error', message: String(error.message || error) };
        return 0;
      }
      entry.users += 1;
      const token = nextToken++;
      channels.set(token, { entry, queue: [], limit: DEFAULT_INPUT_BUFFERS, waiter: null, cancelled: false });
      return token;
    },
    async close(token) {
      const channel = channels.get(token);
      if (!channel) return;
      channels.delete(token);
      wake(channel, READ_FAILED);
      const entry = channel.entry;
      entry.users -= 1;
      if (entry.users === 0 && !entry.gone && entry.device.opened) {
        try { await entry.device.close(); } catch (error) { /* already gone */ }
      }
    },

    ids(token) {
      const channel = usable(token);
      return channel ? [channel.entry.device.vendorId, channel.entry.device.productId] : null;
    },
    lengths(token) {
      const channel = usable(token);
      return channel ? channel.entry.lengths : null;
    },
    flush(token) {
      const channel = usable(token);
      if (channel) channel.queue.length = 0;
      return channel !== null;
    },
    buffers(token, count) {
      const channel = usable(token);
      if (channel && count > 0) channel.limit = count;
      return channel !== null && count > 0;
    },

    // A report the browser has not sent within the limit is still ahead of
    // any later one: those fail at once until it has settled, so the
    // library's retries do not each wait out the limit.
    async write(token, report) {
      const channel = usable(token);
      if (!channel || channel.entry.sendStuck) return later(false);
      const entry = channel.entry;
      const sent = Promise.resolve().then(() => entry.device.sendReport(report[0], report.subarray(1))).then(() => true);
      const outcome = await settled(entry, sent, false, NOT_SENT_YET);
      if (outcome !== NOT_SENT_YET) return outcome;
      entry.sendStuck = true;
      sent.catch(() => false).then(() => { entry.sendStuck = false; });
      return false;
    },
    // Whole reports up to capacity bytes; READ_TIMED_OUT when none came
    // within timeoutMs, READ_CANCELLED after cancel, READ_FAILED when the
    // channel is closed or its device gone.
    read(token, capacity, timeoutMs) {
      const channel = usable(token);
      if (!channel) return later(READ_FAILED);
      if (channel.cancelled) {
        channel.cancelled = false;
        return later(READ_CANCELLED);
      }
      if (channel.queue.length > 0) return Promise.resolve(takeReports(channel, capacity));
      return new Promise((resolve) => {
        const timer = setTimeout(() => {
          channel.waiter = null;
          resolve(READ_TIMED_OUT);
        }, timeoutMs);
        channel.waiter = { resolve, timer };
      }).then((woken) => {
        if (woken !== null) return woken;
        const still = usable(token);
        return still ? takeReports(still, capacity) : READ_FAILED;
      });
    },
    cancel(token) {
      const channel = channels.get(token);
      if (!channel) return;
      if (channel.waiter) wake(channel, READ_CANCELLED);
      else channel.cancelled = true;
    },
    // The feature report with its report-ID byte first, length bytes long.
    async feature(token, reportId, length) {
      const channel = usable(token);
      if (!channel) return later(null);
      const view = await settled(channel.entry, Promise.resolve().then(() => channel.entry.device.receiveFeatureReport(reportId)), null);
      if (view === null) return null;
      const bytes = new Uint8Array(view.buffer, view.byteOffset, view.byteLength);
      const out = new Uint8Array(length);
      // Browsers differ in whether the report-ID byte comes along.
      if (bytes.length >= length && bytes[0] === reportId) out.set(bytes.subarray(0, length));
      else { out[0] = reportId; out.set(bytes.subarray(0, length - 1), 1); }
      return out;
    },
  };
  return api;
})();
