// The program's core in WebAssembly and the one-at-a-time rule: a call that
// waits for the accessory suspends the core, and no second call may enter
// it meanwhile, so every call goes through one queue.
import createZeloCore from './zelo-web.js';

export async function loadCore(pageHooks) {
  const module = await createZeloCore({ zeloPage: pageHooks });
  let queue = Promise.resolve();

  // Runs one entry point and answers its parsed JSON.
  async function invoke(name, args, types) {
    const pointer = await module.ccall(name, 'number', types, args, { async: true });
    try {
      return JSON.parse(module.UTF8ToString(pointer));
    } finally {
      module.ccall('zelo_free', null, ['number'], [pointer]);
    }
  }
  function serial(task) {
    const run = queue.then(task, task);
    queue = run.catch(() => {});
    return run;
  }
  const call = (name, ...texts) => serial(() => invoke(name, texts, texts.map(() => 'string')));

  return {
    hid: module.zeloHid,
    connect: () => call('zelo_connect'),
    disconnect: () => serial(async () => { await module.ccall('zelo_disconnect', null, [], [], { async: true }); }),
    info: () => call('zelo_info'),
    document: () => call('zelo_document'),
    apply: (text) => call('zelo_apply', text),
    save: () => call('zelo_save'),
    finishSave: () => call('zelo_finish_save'),
    keepSettings: () => call('zelo_keep_settings'),
    restoreDefaults: () => call('zelo_restore_defaults'),
    meta: (model) => call('zelo_meta', model),
    setLanguage: (key) => call('zelo_set_language', String(key)),
    irStatus: () => call('zelo_ir_status'),
    irTransmit: (index, start) => call('zelo_ir_transmit', String(index), start ? '1' : '0'),
    pair: () => call('zelo_pair'),
    pairingTick: () => call('zelo_pairing_tick'),
    moduleChoose: (name, bytes) => serial(() => invoke('zelo_module_choose', [name, bytes, bytes.length], ['string', 'array', 'number'])),
    moduleRun: (kind) => serial(() => invoke('zelo_module_run', [kind], ['number'])),
  };
}
