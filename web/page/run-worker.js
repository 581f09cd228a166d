// The page's conversion runs, off the page's own thread so that it never freezes. Each
// step of a run is posted to the page as the run takes it; 'ended' follows the last. The
// line breaks of a large text are turned here too (LF in the panes, CR LF in the run).
'use strict';
importScripts('quillery-api.js', 'quillery.js');

const ready = createQuillery().then((module) => new QuilleryApi(module));

onmessage = async (event) => {
  const api = await ready;
  const { request, dictionary, input } = event.data;
  const start = performance.now();
  try {
    api.run(request, dictionary, input.replace(/\r?\n/g, '\r\n'), (kind, text, value) => {
      postMessage({ kind, text: kind === 'output' ? text.replace(/\r\n/g, '\n') : text, value });
    });
  } finally {
    postMessage({ kind: 'ended', value: Math.round(performance.now() - start) });
  }
};
