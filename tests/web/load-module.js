// The page's WebAssembly module in node, handed its bytes (node's fetch takes no file
// paths).
'use strict';
const fs = require('fs');
const path = require('path');
const { QuilleryApi } = require(path.resolve(process.env.QUILLERY_PAGE_DIR, 'quillery-api.js'));

async function loadApi(pageDir = process.env.QUILLERY_PAGE_DIR) {
  const createQuillery = require(path.resolve(pageDir, 'quillery.js'));
  const module = await createQuillery({ wasmBinary: fs.readFileSync(path.join(pageDir, 'quillery.wasm')) });
  return new QuilleryApi(module);
}

module.exports = { loadApi, QuilleryApi };
