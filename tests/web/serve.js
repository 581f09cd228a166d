// A static server for the page's folder on 127.0.0.1, as any web host serves it.
// Usage: node serve.js FOLDER [PORT] (0 or none: any free port; the address is printed).
'use strict';
const fs = require('fs');
const http = require('http');
const path = require('path');

const types = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm', '.dat': 'application/octet-stream',
};

function serve(folder, port = 0) {
  const root = path.resolve(folder);
  const server = http.createServer((request, response) => {
    const url = new URL(request.url, 'http://127.0.0.1');
    let file = path.join(root, path.normalize(decodeURIComponent(url.pathname)));
    if (!file.startsWith(root)) {
      response.writeHead(403).end();
      return;
    }
    if (file.endsWith(path.sep)) file += 'index.html';
    fs.readFile(file, (error, data) => {
      if (error) {
        response.writeHead(404).end();
        return;
      }
      response.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream',
        'Cache-Control': 'no-store' });
      response.end(data);
    });
  });
  return new Promise((resolve) => server.listen(port, '127.0.0.1', () => resolve(server)));
}

if (require.main === module) {
  serve(path.resolve(process.argv[2] || '.'), Number(process.argv[3] || 0)).then((server) => {
    console.log(`http://127.0.0.1:${server.address().port}/`);
  });
}

module.exports = { serve };
