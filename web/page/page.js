// The page renders what the shared window rules (in the WebAssembly module) decide and
// feeds them the user's commands; runs go to run-worker.js.
'use strict';

const $ = (id) => document.getElementById(id);
const storageKeys = {
  settings: 'QuilleryMini.ini',
  dictionary: 'QuilleryMini.dictionary',
  dictionaryName: 'QuilleryMini.dictionaryName',
};
const bundledDictionary = 'velmo.dat';

const state = {
  api: null,
  texts: null,
  worker: null,
  runActive: false,
  busy: false,
  menu: null,
  openPopup: null,
  reports: Promise.resolve(),
  sessionDictionary: null,  // the dictionary chosen in this visit, { name, bytes }
  holdRuns: false,
};

// Bytes <-> the strings browser storage holds.
function toBase64(bytes) {
  let text = '';
  for (let i = 0; i < bytes.length; i += 0x8000) {
    text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
  }
  return btoa(text);
}
function fromBase64(text) {
  return Uint8Array.from(atob(text), (c) => c.charCodeAt(0));
}
function stored(key) {
  try {
    return localStorage.getItem(key);
  } catch {
    return null;
  }
}
function store(key, value) {
  try {
    localStorage.setItem(key, value);
    return true;
  } catch {
    return false;  // full or forbidden: the page goes on with what it holds
  }
}

function saveSettings() {
  store(storageKeys.settings, toBase64(state.api.settingsFile()));
}

// Message boxes: one at a time, each answered before the next is shown.
function messageBox(text, buttons = [state.texts.ok]) {
  const box = $('message-box');
  $('message-text').textContent = text.replace(/\r\n/g, '\n');
  const row = $('message-buttons');
  row.replaceChildren();
  return new Promise((resolve) => {
    buttons.forEach((label, index) => {
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = label;
      button.addEventListener('click', () => {
        box.close();
        resolve(index);
      });
      row.append(button);
    });
    box.onclose = () => resolve(-1);
    box.showModal();
    row.firstChild.focus();
  });
}

// --- Menu --------------------------------------------------------------------------------

// "変換(&C)": the text without "&", the mnemonic underlined.
function renderLabel(element, label) {
  element.replaceChildren();
  const at = label.indexOf('&');
  if (at < 0 || at + 1 >= label.length) {
    element.textContent = label.replace('&', '');
    return;
  }
  const u = document.createElement('u');
  u.textContent = label[at + 1];
  element.append(label.slice(0, at), u, label.slice(at + 2));
}

function buildMenu() {
  const menu = state.api.menu(false);
  const bar = $('menubar');
  bar.replaceChildren();
  const build = (entries, list) => {
    for (const entry of entries) {
      // A page is closed with its tab: the menu has no 終了.
      if (entry.kind === 'item' && entry.id === 1005) continue;
      const li = document.createElement('li');
      li.setAttribute('role', 'none');
      if (entry.kind === 'separator') {
        if (list.lastChild && list.lastChild.querySelector('hr') === null) {
          li.append(document.createElement('hr'));
          list.append(li);
        }
        continue;
      }
      const button = document.createElement('button');
      button.type = 'button';
      const check = document.createElement('span');
      check.className = 'check';
      const text = document.createElement('span');
      renderLabel(text, entry.label);
      button.append(check, text);
      li.append(button);
      if (entry.kind === 'popup') {
        button.setAttribute('role', 'menuitem');
        button.setAttribute('aria-haspopup', 'menu');
        button.setAttribute('aria-expanded', 'false');
        const arrow = document.createElement('span');
        arrow.className = 'arrow';
        arrow.textContent = '▶';
        button.append(arrow);
        const sub = document.createElement('ul');
        sub.className = 'menu';
        sub.setAttribute('role', 'menu');
        sub.hidden = true;
        build(entry.children, sub);
        li.append(sub);
        li.style.position = 'relative';
        const toggle = (open) => {
          sub.hidden = !open;
          button.setAttribute('aria-expanded', String(open));
        };
        button.addEventListener('click', () => toggle(sub.hidden));
        li.addEventListener('mouseenter', () => toggle(true));
        li.addEventListener('mouseleave', () => toggle(false));
      } else {
        button.setAttribute('role', entry.checkable ? 'menuitemcheckbox' : 'menuitem');
        button.dataset.command = entry.id;
        button.addEventListener('click', () => {
          if (button.getAttribute('aria-disabled') === 'true') return;
          closePopups();
          command(entry.id);
        });
      }
      list.append(li);
    }
    if (list.lastChild && list.lastChild.querySelector('hr')) list.lastChild.remove();
  };
  for (const popup of menu.tree) {
    const top = document.createElement('div');
    top.className = 'top';
    const button = document.createElement('button');
    button.type = 'button';
    button.className = 'popup-button';
    button.setAttribute('role', 'menuitem');
    button.setAttribute('aria-haspopup', 'menu');
    button.setAttribute('aria-expanded', 'false');
    renderLabel(button, popup.label);
    const list = document.createElement('ul');
    list.className = 'menu';
    list.setAttribute('role', 'menu');
    list.hidden = true;
    build(popup.children, list);
    button.addEventListener('click', (event) => {
      event.stopPropagation();
      const open = list.hidden;
      closePopups();
      if (open) openPopup(button, list);
    });
    button.addEventListener('mouseenter', () => {
      if (state.openPopup && state.openPopup.list !== list) {
        closePopups();
        openPopup(button, list);
      }
    });
    top.append(button, list);
    bar.append(top);
  }
}

function openPopup(button, list) {
  list.hidden = false;
  button.setAttribute('aria-expanded', 'true');
  state.openPopup = { button, list };
  const first = list.querySelector('[role^="menuitem"]:not([aria-disabled="true"])');
  if (first) first.focus();
}
function closePopups() {
  for (const list of document.querySelectorAll('.menu')) list.hidden = true;
  for (const b of document.querySelectorAll('[aria-expanded="true"]')) b.setAttribute('aria-expanded', 'false');
  state.openPopup = null;
}

// The keys of a menu: Alt with a popup's underlined letter opens it; in a menu, the
// arrows move (right into a submenu, left out of it or to the next popup), Enter and
// Space choose, Esc closes and gives the focus back.
function menuKeys(event) {
  const tops = [...document.querySelectorAll('.menubar > .top > button')];
  if (event.altKey && !event.ctrlKey && event.key.length === 1) {
    const top = tops.find((b) => b.querySelector('u')?.textContent.toLowerCase() === event.key.toLowerCase());
    if (top) {
      event.preventDefault();
      closePopups();
      openPopup(top, top.nextElementSibling);
    }
    return;
  }
  const item = event.target.closest('.menu [role^="menuitem"]');
  const topButton = event.target.closest('.menubar > .top > button');
  if (topButton && event.key === 'ArrowDown') {
    event.preventDefault();
    closePopups();
    openPopup(topButton, topButton.nextElementSibling);
    return;
  }
  if (!item) {
    if (event.key === 'Escape') closePopups();
    return;
  }
  const list = item.closest('.menu');
  const items = [...list.children].map((li) => li.querySelector(':scope > [role^="menuitem"]')).filter(Boolean);
  const at = items.indexOf(item);
  const sub = item.nextElementSibling;
  const top = item.closest('.top').querySelector(':scope > button');
  const step = (delta) => {
    event.preventDefault();
    items[(at + delta + items.length) % items.length].focus();
  };
  // An item's underlined letter chooses it, a submenu's opens it.
  if (event.key.length === 1 && !event.altKey && !event.ctrlKey && !event.metaKey) {
    const chosen = items.find((b) => b.querySelector('u')?.textContent.toLowerCase() === event.key.toLowerCase());
    if (chosen) {
      event.preventDefault();
      const chosenSub = chosen.nextElementSibling;
      if (chosenSub) {
        chosenSub.hidden = false;
        chosen.setAttribute('aria-expanded', 'true');
        chosenSub.querySelector('[role^="menuitem"]').focus();
      } else {
        chosen.click();
      }
    }
    return;
  }
  switch (event.key) {
    case 'ArrowDown': step(1); break;
    case 'ArrowUp': step(-1); break;
    case 'ArrowRight':
      event.preventDefault();
      if (sub) {
        sub.hidden = false;
        item.setAttribute('aria-expanded', 'true');
        sub.querySelector('[role^="menuitem"]').focus();
      } else {
        const next = tops[(tops.indexOf(top) + 1) % tops.length];
        closePopups();
        openPopup(next, next.nextElementSibling);
      }
      break;
    case 'ArrowLeft': {
      event.preventDefault();
      const parent = list.parentElement.closest('.menu') ? list.previousElementSibling : null;
      if (parent) {
        list.hidden = true;
        parent.setAttribute('aria-expanded', 'false');
        parent.focus();
      } else {
        const previous = tops[(tops.indexOf(top) + tops.length - 1) % tops.length];
        closePopups();
        openPopup(previous, previous.nextElementSibling);
      }
      break;
    }
    case 'Escape':
      event.preventDefault();
      closePopups();
      top.focus();
      break;
    default:
      break;
  }
}

// Check marks, labels and greyed items from the record and the busy state.
function refreshMenu() {
  const { states } = state.api.menu(state.busy);
  for (const item of states) {
    const button = document.querySelector(`[data-command="${item.id}"]`);
    if (!button) continue;
    renderLabel(button.lastChild, item.label);
    button.firstChild.textContent = item.checked ? '✓' : '';
    if (button.getAttribute('role') === 'menuitemcheckbox') {
      button.setAttribute('aria-checked', String(item.checked));
    }
    button.setAttribute('aria-disabled', String(!item.enabled));
  }
}

// --- Window ------------------------------------------------------------------------------

// Only what changed is touched: a pane holding megabytes is laid out again by the browser
// on any change of its size or style, which takes seconds.
function setOnce(element, property, value) {
  if (element[property] !== value) element[property] = value;
}

function refreshView() {
  const panes = $('panes');
  // While a run is busy the panes are held by an overlay (greyed; edits refused, see wire)
  // rather than disabled or made inert, for the same reason.
  const view = state.api.view(panes.clientHeight);
  document.title = view.title;
  setOnce($('input').style, 'height', `${view.inputHeight}px`);
  setOnce($('output').style, 'height', `${view.outputHeight}px`);
  setOnce($('output'), 'readOnly', view.outputReadOnly);
  for (const [id, look] of [['input', view.inputLook], ['output', view.outputLook]]) {
    const wanted = look === 'usual' ? '' : `look-${look}`;
    const now = [...$(id).classList].find((c) => c.startsWith('look-')) || '';
    if (now !== wanted) {
      if (now) $(id).classList.remove(now);
      if (wanted) $(id).classList.add(wanted);
    }
  }
  if (panes.classList.contains('busy') !== state.busy) {
    panes.classList.toggle('busy', state.busy);
    panes.setAttribute('aria-busy', String(state.busy));
  }
}

function refresh() {
  refreshMenu();
  refreshView();
}

function download(bytes, name, type = 'text/plain') {
  const url = URL.createObjectURL(new Blob([bytes], { type }));
  const a = document.createElement('a');
  a.href = url;
  a.download = name;
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 60000);
}

function helpAddress() {
  return new URL('help/index.html', location.href).href;
}

async function command(id) {
  const action = QuilleryApi.actions[state.api.applyCommand(id, state.runActive)];
  saveSettings();
  switch (action) {
    case 'refresh':
    case 'layoutAndRefresh':
    case 'refreshAndRepaint':
      refresh();
      break;
    case 'saveInput':
      download(state.api.paneFile($('input').value), `${state.texts.inputPaneName}.txt`);
      break;
    case 'saveOutput':
      download(state.api.paneFile($('output').value), `${state.texts.outputPaneName}.txt`);
      break;
    case 'startRun':
      refresh();
      startRun();
      break;
    case 'debugConvert':
      debugDialog();
      break;
    case 'dictionary':
      dictionaryDialog();
      break;
    case 'onlineHelp':
      if (await messageBox(state.texts.helpPrompt, [state.texts.yes, state.texts.no]) === 0) {
        window.open(helpAddress(), '_blank', 'noopener');
      }
      break;
    case 'about':
      $('about-dialog').showModal();
      break;
    default:
      break;
  }
}

// --- Runs --------------------------------------------------------------------------------

// The dictionary a run reads: the file the user chose (kept in the browser), the bundled
// one, or none that opens (a name from a desktop's settings file).
async function dictionaryBytes(request) {
  if (request.pathEmpty) return null;
  if (state.sessionDictionary && state.sessionDictionary.name === request.dictionaryPath) {
    return state.sessionDictionary.bytes;
  }
  if (stored(storageKeys.dictionaryName) === request.dictionaryPath && stored(storageKeys.dictionary) !== null) {
    try {
      return fromBase64(stored(storageKeys.dictionary));
    } catch {
      return null;  // spoilt in the storage: a file that does not open
    }
  }
  if (request.dictionaryPath === bundledDictionary) {
    // A fetch that fails (the network gone) is a file that does not open: the run must
    // still be posted, or the page would stay taken by a run that never ends.
    try {
      const response = await fetch(bundledDictionary);
      return response.ok ? new Uint8Array(await response.arrayBuffer()) : null;
    } catch {
      return null;
    }
  }
  return null;
}

async function startRun() {
  state.runActive = true;
  const request = state.api.runRequest();
  const dictionary = await dictionaryBytes(request);
  state.worker.postMessage({ request, dictionary, input: $('input').value, hold: state.holdRuns });
}

// For the page test only: runs held busy until released (see run-worker.js).
function holdRuns(on) {
  state.holdRuns = on;
}
function releaseRun() {
  state.worker.postMessage({ release: true });
}

// The run's steps, in order; a message box holds back the steps after it until answered.
function onRunReport(report) {
  state.reports = state.reports.then(async () => {
    switch (report.kind) {
      case 'message':
        await messageBox(report.text);
        break;
      case 'busy':
        performance.mark(report.value === 1 ? 'run-busy' : 'run-idle');
        state.busy = report.value === 1;
        refresh();
        if (!state.busy) document.body.removeAttribute('data-busy');
        else document.body.dataset.busy = '1';
        break;
      case 'status':
        $('status').textContent = report.text;
        break;
      case 'seed':
        state.api.recordNewestSeed(report.value);
        saveSettings();
        break;
      case 'output':
        performance.mark('run-output');
        $('output').value = report.text;
        // Marked once the browser has laid the text out and can paint again.
        requestAnimationFrame(() => setTimeout(() => performance.mark('run-output-shown'), 0));
        break;
      case 'ended':
        performance.mark('run-ended', { detail: report.value });
        state.runActive = false;
        document.body.dataset.runs = String(Number(document.body.dataset.runs || 0) + 1);
        break;
      default:
        break;
    }
  });
}

// --- Dialogs -----------------------------------------------------------------------------

function debugDialog() {
  const dialog = $('debug-dialog');
  const fields = state.api.debugFields();
  $('debug-seed').value = fields.seed;
  $('debug-fixed').checked = fields.useFixedSeed;
  $('debug-mark').checked = fields.insertMark;
  $('debug-newest').value = fields.newest;
  dialog.showModal();
  // The first tab stop, as on the desktop: the default button.
  $('debug-ok').focus();
}

async function debugOk() {
  const refusal = state.api.debugOk($('debug-seed').value, $('debug-fixed').checked, $('debug-mark').checked);
  if (refusal !== null) {
    await messageBox(refusal);
    $('debug-seed').focus();
    return;
  }
  $('debug-dialog').close();
  saveSettings();
  refresh();
  startRun();
}

const dictionaryChoice = { name: null, bytes: null };

function dictionaryDialog() {
  dictionaryChoice.name = null;
  dictionaryChoice.bytes = null;
  $('dictionary-file').value = '';
  $('dictionary-name').value = state.api.runRequest().dictionaryPath;
  $('dictionary-dialog').showModal();
}

function forgetStoredDictionary() {
  try {
    localStorage.removeItem(storageKeys.dictionary);
    localStorage.removeItem(storageKeys.dictionaryName);
  } catch {
    // nothing stored to take back
  }
}

// A file chosen (or dropped) as the dictionary: its name checked as the desktop checks a
// chosen file's name, its bytes kept in the browser.
async function takeDictionary(name, bytes) {
  const refusal = state.api.chooseDictionary(name);
  if (refusal !== null) {
    await messageBox(refusal);
    return false;
  }
  if (bytes) {
    // Held for this visit in any case; kept for the next one when the storage takes it
    // (never the old file's bytes under the new name).
    state.sessionDictionary = { name, bytes };
    if (!store(storageKeys.dictionary, toBase64(bytes)) || !store(storageKeys.dictionaryName, name)) {
      forgetStoredDictionary();
    }
  } else {
    // The bundled one chosen: a file of the user's kept under the same name must not stand
    // in for it, now or after a reload.
    state.sessionDictionary = null;
    forgetStoredDictionary();
  }
  saveSettings();
  refresh();
  return true;
}

async function dictionaryOk() {
  if (dictionaryChoice.name !== null && !(await takeDictionary(dictionaryChoice.name, dictionaryChoice.bytes))) {
    return;
  }
  $('dictionary-dialog').close();
}

// --- Files dropped -------------------------------------------------------------------------

async function dropOnInput(event) {
  event.preventDefault();
  if (state.busy) return;
  const files = [...event.dataTransfer.files];
  let text = '';
  let before = 0;
  for (const file of files) {
    // Too large is known from the size: such a file is never read into the page.
    const tooLarge = state.api.dropSizeRefusal(file.name, before, file.size);
    if (tooLarge !== null) {
      await messageBox(tooLarge);
      return;
    }
    const one = state.api.droppedFile(file.name, new Uint8Array(await file.arrayBuffer()), before);
    if (one.refusal !== undefined) {
      await messageBox(one.refusal);
      return;
    }
    before += file.size;
    text += one.text.replace(/\r\n/g, '\n');
  }
  const pane = $('input');
  pane.setRangeText(text, pane.selectionStart, pane.selectionEnd, 'end');
}

async function dropElsewhere(event) {
  event.preventDefault();
  const files = [...event.dataTransfer.files];
  if (files.length !== 1 || state.busy) return;
  if ($('dictionary-dialog').open) {
    // As with the [...] button: the dialog's OK takes it, its Cancel forgets it.
    dictionaryChoice.name = files[0].name;
    dictionaryChoice.bytes = new Uint8Array(await files[0].arrayBuffer());
    $('dictionary-name').value = files[0].name;
    return;
  }
  // Any other dialog open holds the window, as a modal one does.
  if (document.querySelector('dialog[open]')) return;
  await takeDictionary(files[0].name, new Uint8Array(await files[0].arrayBuffer()));
}

// --- Start ---------------------------------------------------------------------------------

function fillTexts() {
  const t = state.texts;
  // Each element names its text: data-text for its content, data-label and
  // data-description for what a screen reader says of it.
  for (const element of document.querySelectorAll('[data-text]')) {
    element.textContent = t[element.dataset.text].replace(/\r\n/g, '\n');
  }
  for (const element of document.querySelectorAll('[data-label]')) {
    element.setAttribute('aria-label', t[element.dataset.label]);
  }
  for (const element of document.querySelectorAll('[data-description]')) {
    element.setAttribute('aria-description', t[element.dataset.description]);
  }
  $('output').value = t.outputPlaceholder;
  $('about-text').value = t.aboutText.replace(/\r\n/g, '\n');
}

// Tab, Ctrl+Tab and Ctrl+Enter in a pane, as the window's key rules say (Esc, Enter and the
// letters outside a pane are the browser's and the dialogs' own here). A busy run holds
// the panes: they take nothing then.
function paneKeys(event) {
  const pane = event.target.classList && event.target.classList.contains('pane') ? event.target : null;
  if (!pane || event.defaultPrevented || event.isComposing || event.altKey) return;
  const key = event.key === 'a' || event.key === 'A' ? 'A' : event.key;
  if (!['Enter', 'Tab', 'A'].includes(key)) return;
  const writable = !pane.readOnly && !state.busy;
  const put = (text) => pane.setRangeText(text, pane.selectionStart, pane.selectionEnd, 'end');
  switch (state.api.keyAction(key, event.ctrlKey, event.shiftKey, true, writable)) {
    case 'swallow':
      event.preventDefault();
      break;
    case 'lineBreak':
      event.preventDefault();
      put('\n');
      break;
    case 'insertTab':
      event.preventDefault();
      put('\t');
      break;
    default:
      break;  // the text area's own handling, Ctrl+A included
  }
}

function wire() {
  document.addEventListener('click', (event) => {
    if (!event.target.closest('.menubar')) closePopups();
  });
  document.addEventListener('keydown', (event) => {
    menuKeys(event);
    paneKeys(event);
  });
  window.addEventListener('resize', refreshView);
  // A busy run has the panes: nothing typed, pasted or cut changes them meanwhile.
  $('panes').addEventListener('beforeinput', (event) => {
    if (state.busy) event.preventDefault();
  });
  // Enter presses the default button, unless the focus is on another button.
  for (const [dialog, ok] of [['debug-dialog', 'debug-ok'], ['dictionary-dialog', 'dictionary-ok'], ['about-dialog', 'about-ok']]) {
    $(dialog).addEventListener('keydown', (event) => {
      if (event.key !== 'Enter' || event.isComposing) return;
      if (event.target.matches('button, input[type="file"]')) return;
      event.preventDefault();
      $(ok).click();
    });
  }
  $('debug-ok').addEventListener('click', debugOk);
  $('debug-cancel').addEventListener('click', () => $('debug-dialog').close());
  $('debug-copy').addEventListener('click', () => {
    $('debug-seed').value = state.api.seedCopyText($('debug-newest').value);
  });
  $('about-ok').addEventListener('click', () => $('about-dialog').close());
  $('dictionary-ok').addEventListener('click', dictionaryOk);
  $('dictionary-cancel').addEventListener('click', () => $('dictionary-dialog').close());
  $('dictionary-bundled').addEventListener('click', () => {
    dictionaryChoice.name = bundledDictionary;
    dictionaryChoice.bytes = null;
    $('dictionary-name').value = bundledDictionary;
  });
  $('dictionary-file').addEventListener('change', async () => {
    const file = $('dictionary-file').files[0];
    if (!file) return;
    dictionaryChoice.name = file.name;
    dictionaryChoice.bytes = new Uint8Array(await file.arrayBuffer());
    $('dictionary-name').value = file.name;
  });
  $('load-settings').addEventListener('click', () => $('settings-file').click());
  $('settings-file').addEventListener('change', async () => {
    const file = $('settings-file').files[0];
    if (!file) return;
    state.api.loadSettings(new Uint8Array(await file.arrayBuffer()));
    saveSettings();
    refresh();
    $('settings-file').value = '';
  });
  $('save-settings').addEventListener('click', () => download(state.api.settingsFile(), 'QuilleryMini.ini', 'application/octet-stream'));
  $('input').addEventListener('dragover', (event) => event.preventDefault());
  $('input').addEventListener('drop', (event) => {
    event.stopPropagation();
    dropOnInput(event);
  });
  document.addEventListener('dragover', (event) => event.preventDefault());
  document.addEventListener('drop', dropElsewhere);
}

async function start() {
  if (location.protocol === 'file:') {
    // Browsers start no worker, and fetch no module, for a page opened as a file.
    $('window').hidden = true;
    $('file-note').hidden = false;
    return;
  }
  const module = await createQuillery();
  state.api = new QuilleryApi(module);
  state.texts = state.api.texts(helpAddress());
  const saved = stored(storageKeys.settings);
  let settings = null;
  try {
    settings = saved ? fromBase64(saved) : null;
  } catch {
    // Spoilt in the storage: the page starts with the defaults rather than not at all
    // (a dictionary kept apart stays usable).
  }
  state.api.loadSettings(settings);
  state.worker = new Worker('run-worker.js');
  state.worker.onmessage = (event) => onRunReport(event.data);
  fillTexts();
  buildMenu();
  wire();
  refresh();
  $('input').focus();
  if (saved && settings === null) $('status').textContent = state.texts.pageUnreadableSettings;
  document.body.dataset.ready = '1';
}

start();
