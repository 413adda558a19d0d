// A stand-in for navigator.hid for the browser tests: HIDDevice objects
// backed by the simulated accessories compiled to WebAssembly
// (zelo-web-sim), so everything above the WebHID calls runs for real.
// Installed before the page's scripts; window.zeloFakeConfig holds the
// simulator description (ZELO_SIMULATOR syntax) and, optionally,
// openError: the name of a DOMException that every open() throws.
(() => {
  'use strict';
  const READ_CAPACITY = 64 * 64;
  const PUMP_INTERVAL_MS = 5;
  const simReady = import('/test/zelo-web-sim.js').then((m) => m.default());

  function bytesIn(sim, pointer, length) { return sim.HEAPU8.slice(pointer, pointer + length); }

  // One report of a kind as the HID descriptor tells it: report 0, bytes.
  const reportsOf = (length) => (length > 1 ? [{ reportId: 0, items: [{ reportSize: 8, reportCount: length - 1 }] }] : []);

  class FakeDevice extends EventTarget {
    constructor(hid, sim, index) {
      super();
      this.hid = hid;
      this.sim = sim;
      this.index = index;
      this.path = sim.ccall('sim_path', 'string', ['number'], [index]);
      this.vendorId = 0x3a71;
      this.productId = 0x0009;
      this.productName = 'ZE·LO (simulated)';
      this.opened = false;
      this.gone = false;
      this.token = 0;
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
    check() {
      if (this.gone) throw new DOMException('The device was disconnected.', 'NotFoundError');
      if (!this.opened) throw new DOMException('The device must be opened first.', 'InvalidStateError');
    }
    async open() {
      if (this.gone) throw new DOMException('The device was disconnected.', 'NotFoundError');
      if (window.zeloFakeConfig.openError) throw new DOMException('Failed to open the device.', window.zeloFakeConfig.openError);
      this.token = this.sim.ccall('sim_open', 'number', ['string'], [this.path]);
      if (!this.token) throw new DOMException('Failed to open the device.', 'InvalidStateError');
      this.opened = true;
      this.timer = setInterval(() => this.pump(), PUMP_INTERVAL_MS);
    }
    async close() {
      if (!this.opened) return;
      clearInterval(this.timer);
      this.sim.ccall('sim_close', null, ['number'], [this.token]);
      this.opened = false;
    }
    async sendReport(reportId, data) {
      this.check();
      const bytes = data instanceof ArrayBuffer ? new Uint8Array(data) : new Uint8Array(data.buffer, data.byteOffset, data.byteLength);
      const report = new Uint8Array(this.outputLength);
      report[0] = reportId;
      report.set(bytes.subarray(0, this.outputLength - 1), 1);
      const pointer = this.sim._malloc(report.length);
      this.sim.HEAPU8.set(report, pointer);
      const written = this.sim.ccall('sim_write', 'number', ['number', 'number', 'number'], [this.token, pointer, report.length]);
      this.sim._free(pointer);
      this.hid.noticeUnplugs();
      if (!written) throw new DOMException('Failed to write the report.', 'NotAllowedError');
      setTimeout(() => this.pump(), 0);
    }
    async receiveFeatureReport(reportId) {
      this.check();
      const pointer = this.sim._malloc(this.featureLength);
      this.sim.HEAPU8.fill(0, pointer, pointer + this.featureLength);
      this.sim.HEAPU8[pointer] = reportId;
      const ok = this.sim.ccall('sim_feature', 'number', ['number', 'number', 'number'], [this.token, pointer, this.featureLength]);
      const bytes = bytesIn(this.sim, pointer + 1, this.featureLength - 1);  // without the ID, as for report 0
      this.sim._free(pointer);
      if (!ok) throw new DOMException('Failed to receive the feature report.', 'NotAllowedError');
      return new DataView(bytes.buffer);
    }
    // Delivers the input reports that have arrived, one event each.
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
      this.ready = simReady.then((sim) => {
        this.sim = sim;
        sim.ccall('sim_configure', 'number', ['string'], [window.zeloFakeConfig.simulator]);
        this.rescan();
      });
    }
    rescan() {
      const count = this.sim.ccall('sim_count', 'number', [], []);
      for (let i = 0; i < count; ++i) {
        const path = this.sim.ccall('sim_path', 'string', ['number'], [i]);
        if (!this.devices.some((d) => d.path === path && !d.gone)) this.devices.push(new FakeDevice(this, this.sim, i));
      }
    }
    // Accessories the simulator no longer has leave with a disconnect event.
    noticeUnplugs() {
      const count = this.sim.ccall('sim_count', 'number', [], []);
      const present = new Set();
      for (let i = 0; i < count; ++i) present.add(this.sim.ccall('sim_path', 'string', ['number'], [i]));
      for (const device of this.devices) {
        if (device.gone || present.has(device.path)) continue;
        device.gone = true;
        device.opened = false;
        clearInterval(device.timer);
        setTimeout(() => {
          const event = new Event('disconnect');
          event.device = device;
          this.dispatchEvent(event);
        }, 0);
      }
    }
    // The chooser: the user picks the first accessory the filters allow.
    async requestDevice({ filters }) {
      await this.ready;
      const match = this.devices.filter((d) => !d.gone && filters.some(
        (f) => (f.vendorId === undefined || f.vendorId === d.vendorId) && (f.productId === undefined || f.productId === d.productId)));
      const picked = match.slice(0, 1);
      picked.forEach((d) => this.granted.add(d));
      return picked;
    }
    async getDevices() {
      await this.ready;
      return this.devices.filter((d) => !d.gone && this.granted.has(d));
    }
    // For the tests: simulator access from outside the page.
    // A standard accessory arrives; the browser remembers the permission
    // the user gave before, so it is granted and announced.
    plugStandard() {
      this.sim.ccall('sim_plug_standard', null, [], []);
      const known = this.devices.length;
      this.rescan();
      for (const device of this.devices.slice(known)) {
        this.granted.add(device);
        const event = new Event('connect');
        event.device = device;
        setTimeout(() => this.dispatchEvent(event), 0);
      }
    }
    unplug(index) { this.sim.ccall('sim_unplug', null, ['number'], [index]); this.noticeUnplugs(); }
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
