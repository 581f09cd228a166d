// The page's, the worker's and the tests' one way into the WebAssembly module: strings in
// and out of its memory, JSON results parsed. Works in a window, a worker and node.
'use strict';

class QuilleryApi {
  constructor(module) {
    this.m = module;
    this.utf16 = new TextDecoder('utf-16le');
    this.utf8 = new TextDecoder('utf-8');
  }

  // Calls `fn` with the arguments, each string put into the module's memory as UTF-16
  // (a pointer and a count of units), each Uint8Array as bytes (a pointer and a size) and
  // each Int32Array as numbers (a pointer).
  call(fn, ...args) {
    const m = this.m;
    const flat = [];
    const owned = [];
    for (const arg of args) {
      if (typeof arg === 'string') {
        const p = m._malloc(arg.length * 2 + 2);
        owned.push(p);
        const units = m.HEAPU16;
        const base = p >> 1;
        for (let i = 0; i < arg.length; ++i) units[base + i] = arg.charCodeAt(i);
        flat.push(p, arg.length);
      } else if (arg instanceof Int32Array) {
        const p = m._malloc(arg.length * 4 + 4);
        owned.push(p);
        m.HEAP32.set(arg, p >> 2);
        flat.push(p);
      } else if (arg instanceof Uint8Array) {
        const p = m._malloc(arg.length + 1);
        owned.push(p);
        m.HEAPU8.set(arg, p);
        flat.push(p, arg.length);
      } else {
        flat.push(arg);
      }
    }
    try {
      return m['_' + fn](...flat);
    } finally {
      for (const p of owned) m._free(p);
    }
  }

  resultBytes() {
    const p = this.m._qm_result_data();
    return this.m.HEAPU8.slice(p, p + this.m._qm_result_size());
  }
  resultText() {
    const p = this.m._qm_result_data();
    return this.utf16.decode(this.m.HEAPU8.subarray(p, p + this.m._qm_result_size()));
  }
  resultJson() {
    const p = this.m._qm_result_data();
    return JSON.parse(this.utf8.decode(this.m.HEAPU8.subarray(p, p + this.m._qm_result_size())));
  }
  // UTF-16 text the module handed over during a call.
  textAt(pointer, count) {
    return this.utf16.decode(this.m.HEAPU8.subarray(pointer, pointer + count * 2));
  }

  loadSettings(bytes) { this.call('qm_load_settings', bytes || new Uint8Array(0)); }
  settingsFile() { this.call('qm_settings_file'); return this.resultBytes(); }
  menu(busy) { this.call('qm_menu', busy ? 1 : 0); return this.resultJson(); }
  applyCommand(id, runActive) { return this.call('qm_apply_command', id, runActive ? 1 : 0); }
  // key: 'Escape', 'Enter', 'A' or 'Tab'; the answer: 'passOn', 'swallow', 'lineBreak',
  // 'selectAll' or 'insertTab' (the shared key rules' order).
  keyAction(key, ctrl, shift, inPane, paneWritable) {
    const keys = ['Escape', 'Enter', 'A', 'Tab'];
    const actions = ['passOn', 'swallow', 'lineBreak', 'selectAll', 'insertTab'];
    const index = keys.indexOf(key);
    return actions[this.call('qm_key_action', index < 0 ? keys.length : index, ctrl ? 1 : 0,
                             shift ? 1 : 0, inPane ? 1 : 0, paneWritable ? 1 : 0)];
  }
  view(paneAreaHeight) { this.call('qm_view', paneAreaHeight | 0); return this.resultJson(); }
  runRequest() { this.call('qm_run_request'); return this.resultJson(); }
  recordNewestSeed(seed) { this.call('qm_record_newest_seed', seed | 0); }
  debugFields() { this.call('qm_debug_fields'); return this.resultJson(); }
  seedCopyText(text) { this.call('qm_seed_copy_text', text); return this.resultText(); }
  // null when taken, else the message that refuses it.
  debugOk(seedText, useFixedSeed, insertMark) {
    return this.call('qm_debug_ok', seedText, useFixedSeed ? 1 : 0, insertMark ? 1 : 0)
      ? null : this.resultText();
  }
  chooseDictionary(name) {
    return this.call('qm_choose_dictionary', name) ? null : this.resultText();
  }
  dictionaryIsUtf8(bytes) { return this.call('qm_dictionary_is_utf8', bytes) === 1; }
  paneFile(text) { this.call('qm_pane_file', text); return this.resultBytes(); }
  // The message that refuses a dropped file of `size` bytes after `before` bytes of the
  // same drop, or null when it fits; asked before the file is read.
  dropSizeRefusal(name, before, size) {
    return this.call('qm_drop_size_refusal', name, before, size) ? this.resultText() : null;
  }
  // { text } or { refusal } for one dropped file after `before` bytes of the same drop.
  droppedFile(name, bytes, before) {
    const taken = this.call('qm_dropped_file', name, bytes, before);
    return taken ? { text: this.resultText() } : { refusal: this.resultText() };
  }
  texts(helpAddress) { this.call('qm_texts', helpAddress); return this.resultJson(); }

  // One run (see run-worker.js); `report(kind, text, value)` gets each step as it happens.
  run(request, dictionary, input, report) {
    const kinds = { 1: 'message', 2: 'busy', 3: 'status', 4: 'seed', 5: 'output' };
    this.m.onRunReport = (kind, pointer, count, value) =>
      report(kinds[kind], count > 0 ? this.textAt(pointer, count) : '', value);
    const bytes = dictionary || new Uint8Array(0);
    const options = Int32Array.of(request.pathEmpty ? 1 : 0, dictionary ? 1 : 0,
      dictionary && this.dictionaryIsUtf8(bytes) ? 1 : 0, request.insertRatio,
      request.debugRun, request.useFixedSeed, request.insertMark, request.randomSeed | 0);
    this.call('qm_run', options, bytes, input);
  }
}

// What the window must do after a command (the shared rules' WindowAction).
QuilleryApi.actions = ['none', 'refresh', 'layoutAndRefresh', 'refreshAndRepaint', 'saveInput',
  'saveOutput', 'exit', 'startRun', 'debugConvert', 'dictionary', 'onlineHelp', 'about'];

if (typeof module !== 'undefined') module.exports = { QuilleryApi };
