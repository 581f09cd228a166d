// The page's conversion runs, off the page's own thread so that it never freezes. Each
// step of a run is posted to the page as the run takes it; 'ended' follows the last. The
// output's line breaks are turned here too (CR LF from the run, LF in the panes).
'use strict';
importScripts('quillery-api.js', 'quillery.js');

const ready = createQuillery().then((module) => new QuilleryApi(module));
// For the page test: a run asked to hold keeps the page busy (its steps after 'busy'
// held back) until a release comes, so the test can act on a busy page at its own pace.
let release = null;

onmessage = async (event) => {
  if (event.data.release) {
    if (release) release();
    return;
  }
  const api = await ready;
  const { request, dictionary, input, hold } = event.data;
  const start = performance.now();
  let elapsed = 0;
  const held = [];
  let busy = false;
  try {
    api.run(request, dictionary, input, (kind, text, value) => {
      const report = { kind, text: kind === 'output' ? text.replace(/\r\n/g, '\n') : text, value };
      if (hold && busy) held.push(report);
      else postMessage(report);
      if (kind === 'busy' && value === 1) busy = true;
    });
  } finally {
    elapsed = Math.round(performance.now() - start);
    if (hold) {
      await new Promise((resolve) => { release = resolve; });
      release = null;
      held.forEach((report) => postMessage(report));
    }
    postMessage({ kind: 'ended', value: elapsed });
  }
};
