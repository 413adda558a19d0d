// The program's core in WebAssembly and the one-at-a-time rule: a call that
// waits for the accessory suspends the core, and no second call may enter
// it meanwhile, so every call goes through one queue.
import createZeloCore from './zelo-web.js';

export async function loadCore(pageHooks) {
  const module = await createZeloCore({ zeloPage: pageHooks });
  let queue = Promise.resolve();
  let pending = 0;

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
    pending += 1;
    const run = queue.then(task, task).finally(() => { pending -= 1; });
    queue = run.catch(() => {});
    return run;
  }
  const texts = (args) => args.map(() => 'string');
  const call = (name, ...args) => serial(() => invoke(name, args, texts(args)));

  // An edit is made on the working copy as it is when its turn comes, so
  // edits queued behind a Save or behind each other all take effect.
  const edit = (change) => serial(async () => {
    const { document } = await invoke('zelo_document', [], []);
    if (!document) return { applied: false, refusal: '', warnings: [] };
    const doc = JSON.parse(document);
    change(doc);
    return invoke('zelo_apply', [JSON.stringify(doc)], ['string']);
  });

  // A file's bytes go to the core through its heap, not its stack.
  const moduleChoose = (name, bytes) => serial(async () => {
    const pointer = module._malloc(Math.max(1, bytes.length));
    try {
      module.HEAPU8.set(bytes, pointer);
      return await invoke('zelo_module_choose', [name, pointer, bytes.length], ['string', 'number', 'number']);
    } finally {
      module._free(pointer);
    }
  });

  return {
    hid: module.zeloHid,
    // Whether no call is running or waiting.
    idle: () => pending === 0,
    connect: () => call('zelo_connect'),
    disconnect: () => serial(async () => { await module.ccall('zelo_disconnect', null, [], [], { async: true }); }),
    info: () => call('zelo_info'),
    document: () => call('zelo_document'),
    apply: (text) => call('zelo_apply', text),
    edit,
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
    moduleChoose,
    moduleRun: (kind) => serial(() => invoke('zelo_module_run', [kind], ['number'])),
  };
}
