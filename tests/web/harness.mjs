// What every browser test and the benchmark share: Debian's Chromium,
// headless with SwiftShader's WebGL 2, and a static server for one folder on
// the loopback address. Nothing here downloads a browser.
import { chromium } from 'playwright-core';
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize, resolve, sep } from 'node:path';

export const CHROMIUM = process.env.BRELOX_CHROMIUM || '/usr/bin/chromium';

// Software WebGL and pixels one to one with the native window (sRGB, scale
// 1); nothing the browser would fetch for itself. Playwright gives each
// launch a fresh, temporary profile (--user-data-dir) and removes it.
const CHROMIUM_ARGS = [
  '--headless',
  '--use-angle=swiftshader',
  '--enable-unsafe-swiftshader',
  '--force-color-profile=srgb',
  '--force-device-scale-factor=1',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
  '--no-first-run',
  '--disable-quic',
];

export async function launchChromium() {
  const args = [...CHROMIUM_ARGS];
  if (process.getuid && process.getuid() === 0) args.push('--no-sandbox'); // Chromium refuses root otherwise
  return chromium.launch({ executablePath: CHROMIUM, headless: true, args, timeout: 60_000 });
}

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
  '.ico': 'image/x-icon',
  '.svg': 'image/svg+xml',
  '.webmanifest': 'application/manifest+json',
  '.css': 'text/css; charset=utf-8',
  '.ppm': 'image/x-portable-pixmap',
};

// Serves `folder` on 127.0.0.1 at a port the system picks; a path outside
// the folder or a missing file is a 404, as a real static host answers.
// `overrides` maps a URL path to another file to serve in its place.
export async function serveFolder(folder, overrides = {}) {
  const root = resolve(folder);
  const server = createServer(async (request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = overrides[path] ?? normalize(join(root, path.endsWith('/') ? `${path}index.html` : path));
    try {
      if (!(path in overrides) && !file.startsWith(root + sep)) throw new Error('outside');
      const body = await readFile(file);
      response.writeHead(200, { 'Content-Type': TYPES[extname(file)] || 'application/octet-stream' });
      response.end(body);
    } catch {
      response.writeHead(404, { 'Content-Type': 'text/plain' });
      response.end('not found');
    }
  });
  await new Promise((done) => server.listen(0, '127.0.0.1', done));
  // Closing drops the browser's connections too: one still open, idle or
  // not, would keep close waiting for ever.
  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    close: () => new Promise((done) => {
      server.close(done);
      server.closeAllConnections();
    }),
  };
}

// A browser and a server for one test file, ended by the test's own cleanup
// whatever happens.
export async function openSession(t, folder) {
  const server = await serveFolder(folder);
  t.after(() => server.close());
  const browser = await launchChromium();
  t.after(() => browser.close());
  return { server, browser };
}

// The environment variable, or a clear failure naming what to build.
export function requiredPath(name) {
  const value = process.env[name];
  if (!value) throw new Error(`${name} is not set: run the browser tests through ctest --preset web`);
  return value;
}
