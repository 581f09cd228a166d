// The page's run against the native converter on random texts and dictionaries: the text
// the page converts and the file it saves must be the converter's bytes, and the status
// line the converter's statistics. Usage: node differential.js CONVERTER [CASES]
// (QUILLERY_PAGE_DIR names the page's folder).
'use strict';
const assert = require('assert');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { spawnSync } = require('child_process');
const { loadApi } = require('./load-module.js');

const converter = process.argv[2];
const cases = Number(process.argv[3] || 1000);

// A fixed sequence, so a failure comes back on the next run.
let state = 0x5eed1234;
function random() {
  state = (state + 0x6d2b79f5) >>> 0;
  let t = state;
  t = Math.imul(t ^ (t >>> 15), t | 1);
  t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
  return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
}
const pick = (n) => Math.floor(random() * n);
const choose = (list) => list[pick(list.length)];

const sjis = new TextDecoder('shift_jis', { fatal: true });
function validCp932(bytes) {
  try {
    sjis.decode(Uint8Array.from(bytes));
    return true;
  } catch {
    return false;
  }
}

// Characters as code page 932 bytes, weighted toward what Japanese prose holds: hiragana
// (never a phrase), kanji and katakana (phrases), the four stops, brackets and other
// punctuation, ASCII, half-width katakana, and the rows with two codes for a character.
const pools = [
  () => [0x82, 0x9f + pick(0xf1 - 0x9f + 1)],                                      // ぁ..ん
  () => [0x88 + pick(0x98 - 0x88), 0x9f + pick(0xfc - 0x9f + 1)],                   // kanji
  () => [0x83, 0x40 + pick(0x96 - 0x40)],                                           // katakana
  () => choose([[0x81, 0x41], [0x81, 0x42], [0x81, 0x43], [0x81, 0x44]]),           // 、。，．
  () => choose([[0x81, 0x75], [0x81, 0x76], [0x81, 0x49], [0x81, 0x48], [0x81, 0x45],
    [0x81, 0x5b], [0x81, 0x60], [0x81, 0x52], [0x81, 0x53], [0x81, 0x40]]),          // 「」！？・ー～ヽヾ　
  () => [0x20 + pick(0x5f)],                                                        // ASCII
  () => [0xa1 + pick(0xdf - 0xa1 + 1)],                                             // ｡..ﾟ
  () => [0x87, 0x40 + pick(0x9c - 0x40)],                                           // NEC row 13
  () => [0xed + pick(2), 0x40 + pick(0xfc - 0x40)],                                 // NEC-selected IBM
  () => [0xfa + pick(3), 0x40 + pick(0xfc - 0x40)],                                 // IBM
  () => [0x09],
];
const weights = [30, 25, 8, 8, 6, 8, 4, 2, 2, 2, 1];
function character() {
  let w = pick(weights.reduce((a, b) => a + b));
  let i = 0;
  while (w >= weights[i]) w -= weights[i++];
  for (;;) {
    const bytes = pools[i]();
    if (bytes.length === 1 || (bytes[1] !== 0x7f && validCp932(bytes))) return bytes;
  }
}

function line(maxChars) {
  const out = [];
  const n = pick(maxChars + 1);
  for (let k = 0; k < n; ++k) out.push(...character());
  return out;
}

// The input pane's text: CR LF between lines (what the page makes of its LF), sometimes
// empty lines, a break at the end, or a line longer than the conversion buffer.
function inputText() {
  const out = [];
  const lines = pick(8);
  for (let k = 0; k < lines; ++k) {
    if (k) out.push(0x0d, 0x0a);
    out.push(...line(random() < 0.03 ? 5000 : 60));
  }
  if (random() < 0.3) out.push(0x0d, 0x0a);
  return Uint8Array.from(out);
}

// A dictionary: keywords of any length (the 132-unit cut), empty lines, LF or CR LF, and
// now and then a NUL, a lone CR or Ctrl+Z, or more than the 1000 keywords a run takes.
function dictionary() {
  const out = [];
  const lines = random() < 0.05 ? 1200 : 1 + pick(12);
  const crLf = random() < 0.5;
  for (let k = 0; k < lines; ++k) {
    out.push(...line(random() < 0.1 ? 300 : 8));
    if (random() < 0.02) out.push(choose([0x00, 0x0d, 0x1a]), ...character());
    if (k + 1 < lines || random() < 0.5) out.push(...(crLf ? [0x0d, 0x0a] : [0x0a]));
  }
  return Uint8Array.from(out);
}

// The converter on every case in one shell loop (a fork of node for each would take most
// of the time): case N's files are in.N, dict.N and args.N; out.N, err.N and status.N
// come back.
function nativeRuns(dir, count) {
  const script = `for ((i = 0; i < ${count}; i++)); do
    read -r -a args < "${dir}/args.$i"
    "$0" --dictionary "${dir}/dict.$i" "\${args[@]}" "${dir}/in.$i" >"${dir}/out.$i" 2>"${dir}/err.$i"
    echo $? >"${dir}/status.$i"
  done`;
  const run = spawnSync('bash', ['-c', script, converter], { stdio: 'inherit' });
  assert.strictEqual(run.status, 0, 'the converter loop');
  return (i) => {
    const errLines = fs.readFileSync(path.join(dir, `err.${i}`), 'utf8').trimEnd().split('\n');
    return { status: Number(fs.readFileSync(path.join(dir, `status.${i}`), 'utf8')),
      out: fs.readFileSync(path.join(dir, `out.${i}`)), err: errLines[errLines.length - 1] };
  };
}

function pageRun(api, inputText, dict, ratio, seed, mark) {
  const request = { pathEmpty: false, insertRatio: ratio, debugRun: 1, useFixedSeed: 1,
    insertMark: mark ? 1 : 0, randomSeed: seed };
  const reports = [];
  api.run(request, dict, inputText, (kind, text, value) => reports.push({ kind, text, value }));
  return reports;
}

(async () => {
  const api = await loadApi();
  // A byte-order mark makes a dictionary UTF-8, as it does a dropped file; broken UTF-8
  // behind it is refused, never read as code page 932 keywords.
  const marked = Uint8Array.of(0xef, 0xbb, 0xbf, 0x8a, 0xbf, 0x8e, 0x9a, 0x0d, 0x0a);
  assert.ok(api.dictionaryIsUtf8(marked), 'a marked dictionary is taken as UTF-8');
  const refused = pageRun(api, '漢字', marked, 5, 1, false);
  assert.deepStrictEqual(refused.filter((r) => r.kind === 'message').map((r) => r.text),
    ['辞書ファイルが開けません'], 'a marked dictionary that is not UTF-8');
  assert.ok(!refused.some((r) => r.kind === 'output'), 'a refused dictionary converts nothing');
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'quillery-web-'));
  const decoder = new TextDecoder('shift_jis');
  const counts = { cases: 0, empty: 0, utf8: 0, marked: 0, long: 0 };
  try {
    const made = [];
    for (let c = 0; made.length < cases; ++c) {
      const input = inputText();
      const dict = dictionary();
      const ratio = pick(11);
      const seed = random() < 0.05 ? choose([0, 4294967295]) : Math.floor(random() * 4294967296);
      const mark = random() < 0.4;
      // Every tenth case gives the page the same keywords as UTF-8, as a user's file
      // might be; the converter keeps the code page 932 file.
      const asUtf8 = c % 10 === 3 && !dict.includes(0x00) && !dict.includes(0x1a);
      const pageDict = asUtf8 ? new Uint8Array(Buffer.from(decoder.decode(dict), 'utf8')) : dict;
      if (!asUtf8 && api.dictionaryIsUtf8(dict)) continue;  // the page would read it as UTF-8
      const i = made.length;
      fs.writeFileSync(path.join(dir, `in.${i}`), input);
      fs.writeFileSync(path.join(dir, `dict.${i}`), dict);
      fs.writeFileSync(path.join(dir, `args.${i}`), `--ratio ${ratio} --seed ${seed}${mark ? ' --mark' : ''}\n`);
      made.push({ c, input, pageDict, ratio, seed, mark, asUtf8 });
    }
    const nativeRun = nativeRuns(dir, made.length);
    for (const [i, { c, input, pageDict, ratio, seed, mark, asUtf8 }] of made.entries()) {
      const native = nativeRun(i);
      const reports = pageRun(api, decoder.decode(input), pageDict, ratio, seed, mark);
      const label = `case ${c} (ratio ${ratio}, seed ${seed}, mark ${mark}, utf8 ${asUtf8})`;
      const busy = reports.filter((r) => r.kind === 'busy').map((r) => r.value);
      assert.deepStrictEqual(busy, [1, 0], `${label}: busy state entered and left once`);
      if (native.status === 1) {
        // No keyword: the converter fails, the page says the dictionary is empty.
        assert.deepStrictEqual(reports.filter((r) => r.kind === 'message').map((r) => r.text),
          ['辞書ファイルが空です'], label);
        assert.ok(!reports.some((r) => r.kind === 'output'), label);
        // It said 処理中 and takes it back, as the desktop's status bar does.
        assert.deepStrictEqual(reports.filter((r) => r.kind === 'status').map((r) => r.text),
          ['処理中．．．', ''], label);
        ++counts.empty;
        continue;
      }
      assert.strictEqual(native.status, 0, `${label}: converter failed: ${native.err}`);
      const output = reports.find((r) => r.kind === 'output');
      assert.ok(output, `${label}: no output`);
      const saved = Buffer.from(api.paneFile(output.text));
      if (!saved.equals(native.out)) {
        let at = 0;
        while (saved[at] === native.out[at]) ++at;
        assert.fail(`${label}: saved bytes differ from the converter's at byte ${at} ` +
          `(${saved.length} against ${native.out.length})`);
      }
      const statuses = reports.filter((r) => r.kind === 'status').map((r) => r.text);
      assert.deepStrictEqual(statuses, ['処理中．．．', native.err], label);
      ++counts.cases;
      if (asUtf8) ++counts.utf8;
      if (mark) ++counts.marked;
      if (input.length > 5000) ++counts.long;
    }
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
  assert.ok(counts.empty < cases / 10 && counts.utf8 > 0 && counts.long > 0,
    `the cases missed what they are for: ${JSON.stringify(counts)}`);
  console.log(`differential: ${counts.cases} runs byte for byte equal to the converter ` +
    `(${counts.utf8} with a UTF-8 dictionary, ${counts.marked} marked, ${counts.long} with ` +
    `long lines), ${counts.empty} empty dictionaries refused alike`);
})().catch((e) => {
  console.error(e.message || e);
  process.exit(1);
});
