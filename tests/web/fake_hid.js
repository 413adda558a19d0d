// A stand-in for navigator.hid for the browser tests: HIDDevice objects
// backed by the simulated accessories compiled to WebAssembly
// (zelo-web-sim), so everything above the WebHID calls runs for real.
// Installed before the page's scripts; window.zeloFakeConfig holds the
// simulator description (ZELO_SIMULATOR syntax) and optionally:
//   openError      the name of a DOMException that every open() throws
//   serials        serial numbers by accessory index (none: no serial)
//   featureWithId  feature reports come with their report-ID byte first
//   noWebHid       navigator.hid is missing
// It is as strict as Chrome where the page could otherwise get away with
// something: the chooser needs a user activation (which a dialog uses up),
// each accessory shows two interfaces (the one with the accessory's reports
// second), output reports of the wrong length are refused, an unplug is
// noticed on its own (also while a read is awaited), a device that left
// stays "opened" and its calls never settle (Chromium on Linux), and a
// permission outlives a replug or a reload only for a device with a serial
// number.
(() => {
  'use strict';
  const READ_CAPACITY = 64 * 64;
  const PUMP_INTERVAL_MS = 5;
  const GRANTED_KEY = 'zelo-fake-granted';  // serial numbers the user allowed, as the browser keeps them
  // Offline (a test of the page's service worker) there is no simulator.
  const simReady = import('/test/zelo-web-sim.js').then((m) => m.default()).catch(() => null);

  function bytesIn(sim, pointer, length) { return sim.HEAPU8.slice(pointer, pointer + length); }

  // One report of a kind as the HID descriptor tells it: report 0, bytes.
  const reportsOf = (length) => (length > 1 ? [{ reportId: 0, items: [{ reportSize: 8, reportCount: length - 1 }] }] : []);
  // The accessory's other interface: consumer control keys, input report 1 only.
  const OTHER_COLLECTIONS = [{ usagePage: 0x0c, usage: 1, inputReports: [{ reportId: 1, items: [{ reportSize: 16, reportCount: 1 }] }],
                               outputReports: [], featureReports: [] }];

  // User activation as the chooser needs it; a dialog shown since the last
  // click or key press has used it up.
  let activationSpent = false;
  for (const name of ['alert', 'confirm', 'prompt']) {
    const original = window[name];
    window[name] = function (...args) { activationSpent = true; return original.apply(this, args); };
  }
  for (const type of ['pointerdown', 'mousedown', 'keydown']) {
    window.addEventListener(type, (event) => { if (event.isTrusted) activationSpent = false; }, true);
  }
  const activated = () => navigator.userActivation?.isActive === true && !activationSpent;

  const storedSerials = () => JSON.parse(localStorage.getItem(GRANTED_KEY) || '[]');
  const storeSerials = (serials) => localStorage.setItem(GRANTED_KEY, JSON.stringify([...new Set(serials)]));
  const failure = (name, text) => Promise.reject(new DOMException(text, name));
  // A call on a device that left: Chromium on Linux neither answers nor fails it.
  const NEVER = () => new Promise(() => {});

  // One interface of a simulated accessory. main: the interface that
  // carries the accessory's reports.
  class FakeDevice extends EventTarget {
    constructor(hid, sim, path, serial, main) {
      super();
      this.hid = hid;
      this.sim = sim;
      this.path = path;
      this.serial = serial;  // not visible to pages: WebHID does not show it
      this.main = main;
      this.vendorId = 0x3a71;
      this.productId = 0x0009;
      this.productName = 'ZE·LO (simulated)';
      this.opened = false;
      this.gone = false;
      this.token = 0;
      if (!main) {
        this.collections = OTHER_COLLECTIONS;
        return;
      }
      const lengths = this.withChannel((token) => {
        const out = sim._malloc(12);
        sim.ccall('sim_lengths', 'number', ['number', 'number'], [token, out]);
        const values = Array.from(new Uint32Array(sim.HEAPU8.buffer, out, 3));
        sim._free(out);
        return values;
      });
      [this.inputLength, this.outputLength, this.featureLength] = lengths;
      this.collections = [{ usagePage: 0xff00, usage: 1, inputReports: reportsOf(this.inputLength),
                            outputReports: reportsOf(this.outputLength), featureReports: reportsOf(this.featureLength) }];
    }
    withChannel(task) {
      const token = this.sim.ccall('sim_open', 'number', ['string'], [this.path]);
      try { return task(token); } finally { this.sim.ccall('sim_close', null, ['number'], [token]); }
    }
    // Why a call cannot go ahead, as the browser says it; null when it can.
    refusal() {
      if (!this.opened) return new DOMException('The device must be opened first.', 'InvalidStateError');
      if (!this.main) return new DOMException('Failed to write the report.', 'NotAllowedError');
      return null;
    }
    async open() {
      if (this.gone && this.opened) throw new DOMException('The device is already open.', 'InvalidStateError');
      if (this.gone) throw new DOMException('The device was disconnected.', 'NotFoundError');
      if (window.zeloFakeConfig.openError) throw new DOMException('Failed to open the device.', window.zeloFakeConfig.openError);
      if (this.opened) return;
      if (this.main) {
        this.token = this.sim.ccall('sim_open', 'number', ['string'], [this.path]);
        if (!this.token) throw new DOMException('Failed to open the device.', 'InvalidStateError');
        this.timer = setInterval(() => this.pump(), PUMP_INTERVAL_MS);
      }
      this.opened = true;
    }
    close() {
      if (this.gone) return NEVER();
      if (this.opened) this.shut();
      this.opened = false;
      return Promise.resolve();
    }
    shut() {
      clearInterval(this.timer);
      if (this.token) this.sim.ccall('sim_close', null, ['number'], [this.token]);
      this.token = 0;
    }
    async forget() {
      await this.close();
      this.hid.forget(this);
    }
    sendReport(reportId, data) {
      if (this.gone) return NEVER();
      const refused = this.refusal();
      if (refused) return Promise.reject(refused);
      if (this.hid.stalled.has('sendReport')) return this.hid.stalledCall();
      const bytes = data instanceof ArrayBuffer ? new Uint8Array(data) : new Uint8Array(data.buffer, data.byteOffset, data.byteLength);
      // The browser sends what it is given: a report of another length than
      // the descriptor's fails on the way, it is not padded.
      if (reportId !== 0 || bytes.length !== this.outputLength - 1) return failure('NotAllowedError', 'Failed to write the report.');
      const report = new Uint8Array(this.outputLength);
      report.set(bytes, 1);
      const pointer = this.sim._malloc(report.length);
      this.sim.HEAPU8.set(report, pointer);
      const written = this.sim.ccall('sim_write', 'number', ['number', 'number', 'number'], [this.token, pointer, report.length]);
      this.sim._free(pointer);
      if (!written) return failure('NotAllowedError', 'Failed to write the report.');
      this.hid.reportsSent += 1;
      setTimeout(() => this.pump(), 0);
      return Promise.resolve();
    }
    // Browsers differ: the report-ID byte first or not (featureWithId).
    receiveFeatureReport(reportId) {
      if (this.gone) return NEVER();
      const refused = this.refusal();
      if (refused) return Promise.reject(refused);
      this.hid.featureReads += 1;
      this.hid.featureReadTimes.push(performance.now());
      if (this.hid.stalled.has('receiveFeatureReport')) return this.hid.stalledCall();
      const pointer = this.sim._malloc(this.featureLength);
      this.sim.HEAPU8.fill(0, pointer, pointer + this.featureLength);
      this.sim.HEAPU8[pointer] = reportId;
      const ok = this.sim.ccall('sim_feature', 'number', ['number', 'number', 'number'], [this.token, pointer, this.featureLength]);
      const skip = window.zeloFakeConfig.featureWithId ? 0 : 1;
      const bytes = bytesIn(this.sim, pointer + skip, this.featureLength - skip);
      this.sim._free(pointer);
      if (!ok) return failure('NotAllowedError', 'Failed to receive the feature report.');
      return Promise.resolve(new DataView(bytes.buffer));
    }
    // Delivers the input reports that have arrived, one event each; a
    // channel that fails tells of an unplug.
    pump() {
      if (!this.opened || this.gone) return;
      const pointer = this.sim._malloc(READ_CAPACITY);
      const count = this.sim.ccall('sim_read', 'number', ['number', 'number', 'number'], [this.token, pointer, READ_CAPACITY]);
      const bytes = count > 0 ? bytesIn(this.sim, pointer, count) : null;
      this.sim._free(pointer);
      if (count < 0) { this.hid.noticeUnplugs(); return; }
      for (let at = 0; bytes && at < bytes.length; at += this.inputLength) {
        const event = new Event('inputreport');
        event.device = this;
        event.reportId = bytes[at];
        event.data = new DataView(bytes.slice(at + 1, at + this.inputLength).buffer);
        this.dispatchEvent(event);
      }
    }
  }

  class FakeHid extends EventTarget {
    constructor() {
      super();
      this.devices = [];
      this.granted = new Set();
      this.stalled = new Set();
      this.stuckCalls = [];
      this.featureReads = 0;
      this.reportsSent = 0;
      this.featureReadTimes = [];
      this.announced = { connect: 0, disconnect: 0 };
      this.serials = (window.zeloFakeConfig.serials || []).slice();
      this.ready = simReady.then((sim) => {
        if (!sim) return;
        this.sim = sim;
        sim.ccall('sim_configure', 'number', ['string'], [window.zeloFakeConfig.simulator]);
        this.rescan();
        // The system tells of an unplug on its own, whatever the page awaits.
        setInterval(() => this.noticeUnplugs(), PUMP_INTERVAL_MS);
      });
    }
    // Every new accessory shows two interfaces, the one without its reports first.
    rescan() {
      const added = [];
      const count = this.sim.ccall('sim_count', 'number', [], []);
      for (let i = 0; i < count; ++i) {
        const path = this.sim.ccall('sim_path', 'string', ['number'], [i]);
        if (this.devices.some((d) => d.path === path)) continue;
        const serial = this.serials[i];
        added.push(new FakeDevice(this, this.sim, path, serial, false), new FakeDevice(this, this.sim, path, serial, true));
      }
      this.devices.push(...added);
      return added;
    }
    allowed(device) {
      return this.granted.has(device) || (device.serial !== undefined && storedSerials().includes(device.serial));
    }
    announce(type, device) {
      this.announced[type] += 1;
      const event = new Event(type);
      event.device = device;
      setTimeout(() => this.dispatchEvent(event), 0);
    }
    // Accessories the simulator no longer has leave, with a disconnect event
    // for each interface the page may use.
    noticeUnplugs() {
      if (!this.sim) return;
      const count = this.sim.ccall('sim_count', 'number', [], []);
      const present = new Set();
      for (let i = 0; i < count; ++i) present.add(this.sim.ccall('sim_path', 'string', ['number'], [i]));
      for (const device of this.devices) {
        if (device.gone || present.has(device.path)) continue;
        device.gone = true;
        device.shut();
        if (this.allowed(device)) this.announce('disconnect', device);
        this.granted.delete(device);  // without a serial number, the permission ends here
      }
    }
    // The chooser: needs a user activation; the user picks the first
    // accessory the filters allow, which grants all its interfaces.
    async requestDevice({ filters }) {
      if (!activated()) throw new DOMException('Must be handling a user gesture to show a permission request.', 'SecurityError');
      await this.ready;
      const match = this.devices.find((d) => !d.gone && filters.some(
        (f) => (f.vendorId === undefined || f.vendorId === d.vendorId) && (f.productId === undefined || f.productId === d.productId)));
      if (!match) return [];
      const picked = this.devices.filter((d) => !d.gone && d.path === match.path);
      picked.forEach((d) => this.granted.add(d));
      if (match.serial !== undefined) storeSerials([...storedSerials(), match.serial]);
      return picked;
    }
    async getDevices() {
      await this.ready;
      if (!this.sim) return [];
      return this.devices.filter((d) => !d.gone && this.allowed(d));
    }
    // device.forget(): every interface of the accessory loses its permission.
    forget(device) {
      for (const d of this.devices) if (d.path === device.path) this.granted.delete(d);
      if (device.serial !== undefined) storeSerials(storedSerials().filter((s) => s !== device.serial));
    }

    // For the tests: simulator access from outside the page.
    // A standard accessory arrives; the browser announces it only when the
    // permission the user gave before still holds for it.
    plugStandard(serial) {
      this.sim.ccall('sim_plug_standard', null, [], []);
      this.serials[this.sim.ccall('sim_count', 'number', [], []) - 1] = serial;
      for (const device of this.rescan()) {
        if (this.allowed(device)) this.announce('connect', device);
      }
    }
    // Calls of a kind stop settling until unstall, which fails them, as a
    // transfer the bus gave up on.
    stall(kind) { this.stalled.add(kind); }
    unstall(kind) {
      this.stalled.delete(kind);
      for (const fail of this.stuckCalls.splice(0)) fail(new DOMException('The transfer failed.', 'NetworkError'));
    }
    stalledCall() { return new Promise((_, reject) => this.stuckCalls.push(reject)); }
    unplug(index) { this.sim.ccall('sim_unplug', null, ['number'], [index]); this.noticeUnplugs(); }
    dropAnswers(index, count) { this.sim.ccall('sim_drop_answers', null, ['number', 'number'], [index, count]); }
    unplugAfter(index, reports) { this.sim.ccall('sim_unplug_after', null, ['number', 'number'], [index, reports]); }
    setIr(index, code) { this.sim.ccall('sim_set_ir', null, ['number', 'number'], [index, code]); }
    settings(index, model) {
      const text = this.sim.ccall('sim_settings', 'string', ['number', 'string'], [index, model]);
      return text ? JSON.parse(text) : null;
    }
    lastIrTransmit(index) {
      const pointer = this.sim._malloc(4);
      this.sim.ccall('sim_ir_transmit', 'number', ['number', 'number'], [index, pointer]);
      const bytes = Array.from(bytesIn(this.sim, pointer, 4));
      this.sim._free(pointer);
      return bytes;
    }
    pairingValue(index) { return this.sim.ccall('sim_pairing_value', 'number', ['number'], [index]); }
    transmitCode(listIndex) { return this.sim.ccall('sim_transmit_code', 'number', ['number'], [listIndex]); }
    // Module memory bytes (null when erased) and the built-in image.
    moduleMemory(index, count) {
      const pointer = this.sim._malloc(count);
      const got = this.sim.ccall('sim_module_memory', 'number', ['number', 'number', 'number'], [index, pointer, count]);
      const bytes = got < 0 ? null : Array.from(bytesIn(this.sim, pointer, got));
      this.sim._free(pointer);
      return bytes;
    }
    builtinModule(count) {
      const pointer = this.sim._malloc(count);
      const got = this.sim.ccall('sim_builtin_module', 'number', ['number', 'number'], [pointer, count]);
      const bytes = Array.from(bytesIn(this.sim, pointer, got));
      this.sim._free(pointer);
      return bytes;
    }
    firmware(index) { return this.sim.ccall('sim_firmware', 'string', ['number'], [index]); }
    page(index, number) {
      const pointer = this.sim._malloc(512);
      this.sim.ccall('sim_page', 'number', ['number', 'number', 'number'], [index, number, pointer]);
      const bytes = Array.from(bytesIn(this.sim, pointer, 512));
      this.sim._free(pointer);
      return bytes;
    }
  }

  const config = window.zeloFakeConfig || {};
  window.zeloFakeConfig = config;
  const fake = config.noWebHid ? undefined : new FakeHid();
  Object.defineProperty(Navigator.prototype, 'hid', { configurable: true, get: () => fake });
  if (config.noWebHid) delete Navigator.prototype.hid;
  window.zeloFake = fake;
})();
