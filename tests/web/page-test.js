// The page as a user meets it, in Debian's headless chromium: a pasted paragraph, a
// dictionary file chosen, a fixed-seed debug run equal to quillery-convert's, the saved
// panes' bytes, settings kept across a reload and through a settings file, dropped text,
// and a 10 MB run during which the page goes on answering (with its figures printed).
// Usage: node page-test.js (QUILLERY_PAGE_DIR: the page's folder; QUILLERY_CONVERT: the
// native converter; QUILLERY_SHOT: where the screenshot goes).
'use strict';
const assert = require('assert');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { spawnSync } = require('child_process');
const { chromium } = require('playwright-core');
const { serve } = require('./serve.js');

const pageDir = process.env.QUILLERY_PAGE_DIR;
const converter = process.env.QUILLERY_CONVERT;
const failures = [];
async function check(name, body) {
  try {
    await body();
  } catch (error) {
    failures.push(name);
    console.error(`FAILED: ${name}: ${error.message}`);
  }
}

function cp932(text) {
  const run = spawnSync('iconv', ['-f', 'UTF-8', '-t', 'CP932'], { input: Buffer.from(text, 'utf8') });
  assert.strictEqual(run.status, 0, 'iconv');
  return run.stdout;
}

const paragraph = '吾輩は猫である。名前はまだ無い。\nどこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめした所で' +
  'ニャーニャー泣いていた事だけは記憶している。\n\n「東京、大阪」は１９６４年（昭和39年）に結ばれた。';
const dictionaryText = '猫\r\nキーワード\r\n\r\n長い長いキーワード　全角空白\r\nＡＢＣ\r\n';

function nativeConvert(work, input, dictionary, ratio, seed, mark) {
  fs.writeFileSync(path.join(work, 'in.txt'), input);
  fs.writeFileSync(path.join(work, 'dict.dat'), dictionary);
  const args = ['--dictionary', path.join(work, 'dict.dat'), '--ratio', String(ratio), '--seed', String(seed)];
  if (mark) args.push('--mark');
  const run = spawnSync(converter, [...args, path.join(work, 'in.txt')]);
  assert.strictEqual(run.status, 0, run.stderr.toString());
  return { out: run.stdout, status: run.stderr.toString('utf8').trimEnd().split('\n').pop() };
}

const exactly = (label) => new RegExp(`^✓?${label.replace(/[()]/g, '\\$&')}$`);
// Chooses a menu item by its labels as shown (the mnemonic's "&" dropped): the popup, the
// submenu if any, the item.
async function menu(page, popup, item, sub) {
  const top = page.locator('.menubar > .top').filter({ has: page.locator('> button', { hasText: exactly(popup) }) });
  await top.locator('> button').click();
  if (sub) await top.locator('[aria-haspopup]', { hasText: sub }).hover();
  await top.locator('[data-command]', { hasText: exactly(item) }).click();
}

async function downloadOf(page, act) {
  const [download] = await Promise.all([page.waitForEvent('download'), act()]);
  return { name: download.suggestedFilename(), bytes: fs.readFileSync(await download.path()) };
}

async function runEnded(page, before) {
  await page.waitForFunction((n) => Number(document.body.dataset.runs || 0) > n, before);
}
const runs = (page) => page.evaluate(() => Number(document.body.dataset.runs || 0));
// 変換 from the menu, and its end.
async function convert(page) {
  const before = await runs(page);
  await menu(page, '変換(C)', '変換(C)');
  await runEnded(page, before);
}

// A file of `bytes` named `name` dropped on the element `targetId`.
function dropFiles(page, targetId, name, bytes) {
  return page.evaluate(([id, n, b]) => {
    const data = new DataTransfer();
    data.items.add(new File([new Uint8Array(b)], n));
    document.getElementById(id).dispatchEvent(new DragEvent('drop', { dataTransfer: data, bubbles: true, cancelable: true }));
  }, [targetId, name, [...bytes]]);
}

(async () => {
  const server = await serve(pageDir);
  const address = `http://127.0.0.1:${server.address().port}/`;
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'quillery-page-'));
  const profile = path.join(work, 'profile');
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium',
    headless: true,
    acceptDownloads: true,
    viewport: { width: 900, height: 640 },
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  // Bounds, not delays: a 10 MB pane takes the browser seconds to lay out, many more on a
  // busy machine.
  context.setDefaultTimeout(180000);
  const page = context.pages()[0] || await context.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  try {
    await page.goto(address);
    await page.waitForSelector('body[data-ready="1"]');

    await check('the window as it opens', async () => {
      assert.strictEqual(await page.title(), 'Quillery - 40% velmo.dat');
      assert.strictEqual(await page.getAttribute('html', 'lang'), 'ja');
      const tops = await page.locator('.menubar > .top > button').allInnerTexts();
      assert.deepStrictEqual(tops, ['ファイル(F)', '変換(C)', '変換設定(S)', 'ウインドウ(W)', 'ヘルプ(H)']);
      assert.strictEqual(await page.getByLabel('入力テキスト', { exact: true }).count(), 1);
      assert.strictEqual(await page.getByLabel('変換テキスト', { exact: true }).inputValue(),
        '<<< ここに変換結果が表示されます >>>');
      const checked = await page.locator('[aria-checked="true"]').allTextContents();
      assert.deepStrictEqual(checked.map((t) => t.replace('✓', '')), ['40%', '3:3(3)']);
      // Split in sixths of the pane area.
      const [inputH, outputH] = await page.evaluate(() => [document.getElementById('input').offsetHeight,
        document.getElementById('output').offsetHeight]);
      assert.ok(Math.abs(inputH - outputH) <= 6, `3:3 split: ${inputH} and ${outputH}`);
    });

    await check('the menus by keyboard', async () => {
      await page.focus('#input');
      await page.keyboard.press('Alt+s');  // 変換設定(S)
      for (const key of ['ArrowRight', 'ArrowDown', 'ArrowDown', 'Enter']) await page.keyboard.press(key);
      assert.strictEqual(await page.title(), 'Quillery - 20% velmo.dat');
      // Into the next popup and out again; Esc gives the focus back to the menu bar.
      await page.keyboard.press('Alt+w');
      await page.keyboard.press('ArrowDown');  // past the window ratio's submenu
      await page.keyboard.press('ArrowRight');
      assert.strictEqual(await page.evaluate(() => document.activeElement.textContent), 'オンラインヘルプ(O)');
      await page.keyboard.press('Escape');
      assert.strictEqual(await page.evaluate(() => document.activeElement.textContent), 'ヘルプ(H)');
      assert.strictEqual(await page.locator('.menu:not([hidden])').count(), 0);
      await menu(page, '変換設定(S)', '40%', '変換率');
    });

    await check('Ctrl+Tab and Ctrl+Enter put a tab and a line break into a pane that takes typing, nothing into a read-only one', async () => {
      await page.getByLabel('入力テキスト', { exact: true }).fill('あい');
      await page.focus('#input');
      await page.evaluate(() => document.getElementById('input').setSelectionRange(1, 1));
      await page.keyboard.press('Control+Tab');
      await page.keyboard.press('Control+Enter');
      assert.strictEqual(await page.inputValue('#input'), 'あ\t\nい');
      await menu(page, 'ウインドウ(W)', '変換ペインを読込専用(R)');
      await page.focus('#output');
      const before = await page.inputValue('#output');
      await page.keyboard.press('Control+Tab');
      await page.keyboard.press('Control+Enter');
      assert.strictEqual(await page.inputValue('#output'), before);
      assert.strictEqual(await page.evaluate(() => document.activeElement.id), 'output');
      await menu(page, 'ウインドウ(W)', '変換ペインを読込専用(R)');
    });

    await check('underlined letters in menus; Enter presses a dialog\'s default button', async () => {
      const checked = async () => (await page.locator('[aria-checked="true"]').allTextContents()).map((t) => t.replace('✓', ''));
      await page.focus('#input');
      await page.keyboard.press('Alt+w');
      await page.keyboard.press('w');  // ウインドウ比率(W)
      await page.keyboard.press('2');
      assert.deepStrictEqual(await checked(), ['40%', '2:4(2)']);
      await page.keyboard.press('Alt+w');
      await page.keyboard.press('w');
      await page.keyboard.press('3');
      assert.deepStrictEqual(await checked(), ['40%', '3:3(3)']);
      await page.keyboard.press('Alt+c');
      await page.keyboard.press('d');  // デバッグ変換(D)
      await page.waitForSelector('#debug-dialog[open]');
      assert.strictEqual(await page.evaluate(() => document.activeElement.id), 'debug-ok');
      await page.fill('#debug-seed', '4294967296');
      await page.focus('#debug-seed');
      await page.keyboard.press('Enter');  // OK, which refuses the seed
      await page.waitForSelector('#message-box[open]');
      await page.click('#message-buttons button');
      await page.focus('#debug-cancel');
      await page.keyboard.press('Enter');  // Cancel, not OK
      assert.strictEqual(await page.locator('#debug-dialog[open], #message-box[open]').count(), 0);
      await menu(page, '変換設定(S)', '辞書ファイル設定(D)');
      await page.click('#dictionary-bundled');
      await page.focus('#dictionary-name');
      await page.keyboard.press('Enter');
      assert.strictEqual(await page.locator('#dictionary-dialog[open]').count(), 0);
      await menu(page, 'ヘルプ(H)', 'このソフトについて(A)');
      await page.keyboard.press('Enter');
      assert.strictEqual(await page.locator('#about-dialog[open]').count(), 0);
    });

    await check('a debug run with a fixed seed and a code page 932 dictionary equals the converter', async () => {
      await page.getByLabel('入力テキスト', { exact: true }).fill(paragraph);
      await menu(page, '変換設定(S)', '辞書ファイル設定(D)');
      await page.setInputFiles('#dictionary-file', { name: '辞書.dat', mimeType: 'application/octet-stream',
        buffer: cp932(dictionaryText) });
      await page.click('#dictionary-ok');
      assert.strictEqual(await page.title(), 'Quillery - 40% 辞書.dat');
      await menu(page, '変換設定(S)', '60%', '変換率');
      const before = await runs(page);
      await menu(page, '変換(C)', 'デバッグ変換(D)');
      await page.fill('#debug-seed', '20261207');
      await page.check('#debug-fixed');
      await page.check('#debug-mark');
      await page.click('#debug-ok');
      await runEnded(page, before);
      const input = cp932(paragraph.replace(/\n/g, '\r\n'));
      const native = nativeConvert(work, input, cp932(dictionaryText), 6, 20261207, true);
      assert.strictEqual(await page.textContent('#status'), native.status);
      const saved = await downloadOf(page, () => menu(page, 'ファイル(F)', '変換テキスト保存(C)'));
      assert.ok(saved.bytes.equals(native.out), 'the saved lower pane is the converter\'s output');
      assert.ok(saved.bytes.includes(Buffer.from('<')) && saved.bytes.includes(Buffer.from('\r\n')));
      const savedInput = await downloadOf(page, () => menu(page, 'ファイル(F)', '入力テキスト保存(S)'));
      assert.ok(savedInput.bytes.equals(input), 'the saved upper pane is code page 932 with CR LF');
    });

    await check('a normal run records its clock seed, and copying it repeats the run', async () => {
      await convert(page);
      const first = await page.inputValue('#output');
      await menu(page, '変換(C)', 'デバッグ変換(D)');
      const newest = await page.textContent('#debug-newest');
      assert.ok(Math.abs(Number(newest) - Date.now() / 1000) < 3600, `newest seed ${newest}`);
      await page.click('#debug-copy');
      assert.strictEqual(await page.inputValue('#debug-seed'), newest);
      await page.uncheck('#debug-mark');
      const before = await runs(page);
      await page.click('#debug-ok');
      await runEnded(page, before);
      assert.strictEqual(await page.inputValue('#output'), first);
    });

    await check('a seed the field cannot take is refused and the dialog stays', async () => {
      await menu(page, '変換(C)', 'デバッグ変換(D)');
      await page.fill('#debug-seed', '4294967296');
      await page.click('#debug-ok');
      await page.waitForSelector('#message-box[open]');
      assert.match(await page.textContent('#message-text'), /0～4294967295/);
      await page.click('#message-buttons button');
      assert.ok(await page.locator('#debug-dialog[open]').count() === 1);
      await page.click('#debug-cancel');
    });

    await check('settings are kept across a reload', async () => {
      await menu(page, 'ウインドウ(W)', '黒の背景色にする(B)');
      await menu(page, 'ウインドウ(W)', '5:1(5)', 'ウインドウ比率');
      await page.reload();
      await page.waitForSelector('body[data-ready="1"]');
      assert.strictEqual(await page.title(), 'Quillery - 60% 辞書.dat');
      const checked = await page.locator('[aria-checked="true"]').allTextContents();
      assert.deepStrictEqual(checked.map((t) => t.replace('✓', '')), ['60%', '5:1(5)', '黒の背景色にする(B)']);
      assert.ok(await page.locator('#input.look-black').count() === 1);
      await menu(page, '変換(C)', 'デバッグ変換(D)');
      assert.ok(await page.isChecked('#debug-fixed'));
      await page.click('#debug-cancel');
      // The chosen dictionary was kept too: a run reads it.
      await page.getByLabel('入力テキスト', { exact: true }).fill('東京');
      await convert(page);
      assert.match(await page.textContent('#status'), /\[辞書の単語5個\]/);
    });

    await check('a settings file saved, and one from the desktop loaded', async () => {
      const file = await downloadOf(page, () => page.click('#save-settings'));
      assert.strictEqual(file.name, 'QuilleryMini.ini');
      const text = new TextDecoder('shift_jis').decode(file.bytes);
      assert.match(text, /^\[Settings\]\r\nData=辞書\.dat\r\nRatio=6\r\n\[Window\]\r\nWindowRatio=5\r\nBlackBackgrownd=1\r\n/);
      assert.ok(!/XPos/.test(text), 'a page has no window rectangle to save');
      const desktop = Buffer.concat([Buffer.from('; mine\r\n[Settings]\r\nData='), cp932('D:\\辞書\\words.txt'),
        Buffer.from('\r\nRatio=2\r\n[Window]\r\nXPos=10\r\n[Debug]\r\nRandomSeed=-1\r\n')]);
      await page.setInputFiles('#settings-file', { name: 'QuilleryMini.ini', mimeType: 'text/plain', buffer: desktop });
      await page.waitForFunction(() => document.title === 'Quillery - 20% words.txt');
      await menu(page, '変換(C)', 'デバッグ変換(D)');
      assert.strictEqual(await page.inputValue('#debug-seed'), '4294967295');
      await page.click('#debug-cancel');
      const back = await downloadOf(page, () => page.click('#save-settings'));
      assert.ok(back.bytes.subarray(0, 8).equals(Buffer.from('; mine\r\n')), 'its own lines stay');
      assert.ok(back.bytes.includes(Buffer.from('XPos=10\r\n')));
      // A dictionary the page does not hold cannot be opened, as on the desktop.
      const before = await runs(page);
      await menu(page, '変換(C)', '変換(C)');
      await page.waitForSelector('#message-box[open]');
      assert.strictEqual(await page.textContent('#message-text'), '辞書ファイルが開けません');
      await page.click('#message-buttons button');
      await runEnded(page, before);
    });

    await check('a dropped text file goes into the input pane; one with a NUL is refused', async () => {
      const drop = (name, bytes) => dropFiles(page, 'input', name, bytes);
      await page.fill('#input', '');
      await drop('a.txt', cp932('漢字\r\nかな'));
      await page.waitForFunction(() => document.getElementById('input').value === '漢字\nかな');
      await drop('b.txt', Buffer.from([0x41, 0x00]));
      await page.waitForSelector('#message-box[open]');
      assert.match(await page.textContent('#message-text'), /b\.txt/);
      await page.click('#message-buttons button');
      assert.strictEqual(await page.inputValue('#input'), '漢字\nかな');
    });

    await check('a drop over 64 MB in all is refused by its size, before the file is read', async () => {
      await page.evaluate(() => {
        const names = [];
        const readWhole = File.prototype.arrayBuffer;
        File.prototype.arrayBuffer = function () {
          names.push(this.name);
          return readWhole.call(this);
        };
        window.restoreArrayBuffer = () => { File.prototype.arrayBuffer = readWhole; return names; };
        const data = new DataTransfer();
        data.items.add(new File(['ok'], 'small.txt'));
        data.items.add(new File([new Uint8Array(64 * 1024 * 1024 - 1)], 'big.txt'));
        document.getElementById('input').dispatchEvent(new DragEvent('drop', { dataTransfer: data, bubbles: true, cancelable: true }));
      });
      try {
        await page.waitForSelector('#message-box[open]');
        assert.match(await page.textContent('#message-text'), /big\.txt[\s\S]*64MB/);
        await page.click('#message-buttons button');
      } finally {
        const names = await page.evaluate(() => window.restoreArrayBuffer());
        assert.deepStrictEqual(names, ['small.txt'], 'only the file that fits was read');
      }
      assert.strictEqual(await page.inputValue('#input'), '漢字\nかな');
    });

    await check('the bundled dictionary chosen is the one a run reads, even over a file of that name', async () => {
      const words = async () => {
        await convert(page);
        return (await page.textContent('#status')).match(/辞書の単語(\d+)個/)[1];
      };
      const choose = async (file) => {
        await menu(page, '変換設定(S)', '辞書ファイル設定(D)');
        if (file) await page.setInputFiles('#dictionary-file', file);
        else await page.click('#dictionary-bundled');
        await page.click('#dictionary-ok');
      };
      await page.fill('#input', '東京');
      await choose(null);
      const bundled = await words();
      await choose({ name: 'velmo.dat', mimeType: 'application/octet-stream', buffer: cp932('猫\r\n') });
      assert.strictEqual(await words(), '1', 'the user\'s own velmo.dat');
      assert.notStrictEqual(bundled, '1');
      await choose(null);
      assert.strictEqual(await words(), bundled, 'the bundled one chosen again');
      await page.reload();
      await page.waitForSelector('body[data-ready="1"]');
      await page.fill('#input', '東京');
      assert.strictEqual(await words(), bundled, 'and after a reload');
    });

    await check('the bundled dictionary out of reach: the run cannot open it, and the next run goes', async () => {
      await page.fill('#input', '東京');
      await page.route('**/velmo.dat', (route) => route.abort('internetdisconnected'));
      try {
        const before = await runs(page);
        await menu(page, '変換(C)', '変換(C)');
        await page.waitForSelector('#message-box[open]', { timeout: 20000 });
        assert.strictEqual(await page.textContent('#message-text'), '辞書ファイルが開けません');
        await page.click('#message-buttons button');
        await runEnded(page, before);
      } finally {
        await page.unroute('**/velmo.dat');
      }
      await convert(page);
      assert.match(await page.textContent('#status'), /辞書の単語\d+個/);
    });

    await check('a file dropped on the dictionary dialog waits for its OK; Cancel forgets it', async () => {
      const drop = (name, bytes) => dropFiles(page, 'dictionary-dialog', name, bytes);
      const title = await page.title();
      await menu(page, '変換設定(S)', '辞書ファイル設定(D)');
      await drop('落とした.dat', cp932('猫\r\n東京\r\n'));
      await page.waitForFunction(() => document.getElementById('dictionary-name').value === '落とした.dat');
      assert.strictEqual(await page.title(), title, 'nothing taken before OK');
      await page.click('#dictionary-cancel');
      assert.strictEqual(await page.title(), title, 'nor after Cancel');
      await page.reload();
      await page.waitForSelector('body[data-ready="1"]');
      assert.strictEqual(await page.title(), title, 'nor kept for the next visit');
      await menu(page, '変換設定(S)', '辞書ファイル設定(D)');
      await drop('落とした.dat', cp932('猫\r\n東京\r\n'));
      await page.waitForFunction(() => document.getElementById('dictionary-name').value === '落とした.dat');
      await page.click('#dictionary-ok');
      assert.strictEqual(await page.title(), title.replace(/\S+$/, '落とした.dat'));
      await page.fill('#input', '東京');
      await convert(page);
      assert.match(await page.textContent('#status'), /辞書の単語2個/, 'the dropped file is the one read');
    });

    await check('10 MB converts while the page goes on answering', async () => {
      await menu(page, '変換設定(S)', '辞書ファイル設定(D)');
      await page.click('#dictionary-bundled');
      await page.click('#dictionary-ok');
      const line = '吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。';
      await page.evaluate((l) => {
        document.getElementById('input').value = (l + '\n').repeat(Math.ceil(10e6 / (l.length * 2 + 2)));
      }, line);
      const before = await runs(page);
      // Ticks of a 5 ms timer on the page's thread: a long gap is a stall.
      await page.evaluate(() => {
        performance.clearMarks();
        window.ticks = [];
        let last = performance.now();
        window.tickTimer = setInterval(() => {
          const now = performance.now();
          window.ticks.push([now, now - last]);
          last = now;
        }, 5);
      });
      // The run held busy until released: the test acts from outside on a busy page.
      await page.evaluate(() => holdRuns(true));
      await menu(page, '変換(C)', '変換(C)');
      await page.waitForSelector('body[data-busy="1"]');
      try {
        await menu(page, '変換設定(S)', '30%', '変換率');
        assert.strictEqual(await page.title(), 'Quillery - 30% velmo.dat', 'a menu command taken while busy');
        const inputBefore = await page.evaluate(() => document.getElementById('input').value.length);
        await page.focus('#input');
        await page.keyboard.type('x');
        const midRun = await page.evaluate(() => ({ busy: document.body.dataset.busy,
          output: performance.getEntriesByName('run-output').length, input: document.getElementById('input').value.length }));
        assert.deepStrictEqual(midRun, { busy: '1', output: 0, input: inputBefore }, 'still busy, typing refused');
      } finally {
        await page.evaluate(() => { holdRuns(false); releaseRun(); });
      }
      await runEnded(page, before);
      await page.waitForFunction(() => performance.getEntriesByName('run-output-shown').length === 1);
      const f = await page.evaluate(() => {
        clearInterval(window.tickTimer);
        const at = (name) => performance.getEntriesByName(name)[0];
        const busy = at('run-busy').startTime;
        const output = at('run-output').startTime;
        // The ticks that came while the page was busy (the worker converting, then held):
        // their count, and the longest gap.
        const during = window.ticks.filter(([t]) => t > busy && t <= output).map(([, gap]) => gap);
        const stall = Math.max(0, ...during);
        const tickCount = during.length;
        return { bytes: document.getElementById('input').value.length * 2, worker: at('run-ended').detail,
          stall, tickCount, shown: at('run-output-shown').startTime - output };
      });
      assert.ok((await page.inputValue('#output')).length > 1e6, 'the output arrived once released');
      assert.match(await page.textContent('#status'), /^変換終了： \[挿入文節\d+ \/ 総文節\d+/);
      console.log(`benchmark: ${(f.bytes / 1e6).toFixed(1)} MB (UTF-16) converted in the worker in ` +
        `${f.worker} ms; while the page was busy a 5 ms timer on its thread ticked ${f.tickCount} times, ` +
        `at most ${f.stall.toFixed(0)} ms apart; the browser then took ${f.shown.toFixed(0)} ms to lay the output pane out`);
      await page.fill('#input', paragraph);
    });

    await check('settings spoilt in the browser\'s storage: the page starts with the defaults and says so', async () => {
      await page.evaluate(() => localStorage.setItem('QuilleryMini.ini', '%%% not base64'));
      await page.reload();
      await page.waitForSelector('body[data-ready="1"]', { timeout: 30000 });
      assert.strictEqual(await page.title(), 'Quillery - 40% velmo.dat');
      assert.match(await page.textContent('#status'), /設定が読めない/);
    });

    await check('the about text and the help question', async () => {
      await menu(page, 'ヘルプ(H)', 'このソフトについて(A)');
      const about = await page.inputValue('#about-text');
      assert.strictEqual(about, `Quillery Ver1.00\n(C) 2026 Quillery Mini developers\n\n${address}help/index.html`);
      await page.click('#about-ok');
      await menu(page, 'ヘルプ(H)', 'オンラインヘルプ(O)');
      await page.waitForSelector('#message-box[open]');
      assert.strictEqual(await page.textContent('#message-text'),
        `オンラインヘルプを表示するため\n${address}help/index.html\nをブラウザで開きますか？`);
      const [help] = await Promise.all([context.waitForEvent('page'),
        page.click('#message-buttons button:has-text("はい")')]);
      await help.waitForLoadState();
      assert.strictEqual(await help.title(), 'Quillery Mini の使い方');
      assert.match(await help.textContent('#page'), /ブラウザ/, 'the help speaks of the page too');
      await help.close();
    });

    await check('a page opened as a file says to serve it', async () => {
      const filePage = await context.newPage();
      await filePage.goto(`file://${path.resolve(pageDir, 'index.html')}`);
      assert.ok(await filePage.isVisible('#file-note'));
      await filePage.close();
    });

    if (process.env.QUILLERY_SHOT) {
      await menu(page, 'ウインドウ(W)', '黒の背景色にする(B)');
      const top = page.locator('.menubar > .top').nth(2);
      await top.locator('> button').click();
      await top.locator('[aria-haspopup]', { hasText: '変換率' }).hover();
      await page.screenshot({ path: process.env.QUILLERY_SHOT });
    }
    assert.deepStrictEqual(errors, [], 'script errors in the page');
  } catch (error) {
    failures.push(error.message);
    console.error(error);
  } finally {
    await context.close();
    server.close();
    fs.rmSync(work, { recursive: true, force: true });
  }
  if (failures.length) {
    console.error(`${failures.length} page check(s) failed`);
    process.exit(1);
  }
  console.log('page: every check passed');
})();
