// The site as a host serves it: a strict Content-Security-Policy that the
// page never violates, a manifest with reachable icons, a start with the
// network off after one visit, a new build running whole on the next visit,
// and every broken download told on the status line.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtemp, readFile, readdir, rm, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { launchChromium, requiredPath, serveFolder } from './harness.mjs';
import { readScene, watchConsole } from './viewer.mjs';

const SITE = requiredPath('BRELOX_SITE_DIR');
const running = (page) => page.waitForFunction(() => document.body.dataset.state === 'running', null, { timeout: 60_000 });

// A server whose overrides (URL path -> file) the test may change between
// visits, a path to a missing file answering 404, and a scratch folder for them.
async function session(t) {
  const overrides = {};
  const server = await serveFolder(SITE, overrides);
  t.after(() => server.close());
  const browser = await launchChromium();
  t.after(() => browser.close());
  const scratch = await mkdtemp(join(tmpdir(), 'brelox-site-'));
  t.after(() => rm(scratch, { recursive: true, force: true }));
  return { server, browser, overrides, scratch };
}

async function animationAdvances(page) {
  const before = (await page.evaluate(readScene)).spins;
  await page.waitForTimeout(300);
  const after = (await page.evaluate(readScene)).spins;
  assert.notDeepEqual(after, before, 'the boxes spin');
}

const pngSize = (bytes) => [bytes.readUInt32BE(16), bytes.readUInt32BE(20)]; // IHDR width, height

test('the site: no CSP violation, the manifest, offline, a new build', { timeout: 240_000 }, async (t) => {
  const { server, browser, overrides, scratch } = await session(t);
  const context = await browser.newContext();
  const page = await context.newPage();
  await page.addInitScript(() => {
    window.violations = [];
    document.addEventListener('securitypolicyviolation', (e) => window.violations.push(`${e.violatedDirective} ${e.blockedURI}`));
  });
  const problems = watchConsole(page);
  await page.goto(server.url);
  await running(page);
  const worker = await readFile(join(SITE, 'service-worker.js'), 'utf8');
  const cacheName = worker.match(/'(brelox-[0-9a-f]+)'/)[1];

  await t.test('a load, a click, a key and a drag break no rule of the policy', async () => {
    const box = await page.locator('#canvas').boundingBox();
    await page.mouse.click(box.x + 50, box.y + 100); // clear of the Pause button
    await page.keyboard.press('l');
    await page.mouse.move(box.x + 400, box.y + 300);
    await page.mouse.down();
    await page.mouse.move(box.x + 450, box.y + 280);
    await page.mouse.up();
    await animationAdvances(page);
    assert.deepEqual(await page.evaluate(() => window.violations), []);
  });

  await t.test('the manifest parses, and both PNG icons have their sizes', async () => {
    const cdp = await context.newCDPSession(page);
    const { url, errors, data } = await cdp.send('Page.getAppManifest');
    assert.equal(url, `${server.url}manifest.webmanifest`);
    assert.deepEqual(errors, []);
    const manifest = JSON.parse(data);
    assert.deepEqual([manifest.name, manifest.short_name, manifest.display, manifest.start_url, manifest.scope],
      ['Brelox', 'Brelox', 'standalone', './', './']);
    for (const size of [192, 512]) {
      const icon = manifest.icons.find((entry) => entry.sizes === `${size}x${size}`);
      const response = await context.request.get(new URL(icon.src, url).href);
      assert.equal(response.headers()['content-type'], 'image/png');
      assert.deepEqual(pngSize(await response.body()), [size, size], icon.src);
    }
  });

  await t.test('the worker caches every file of the folder; the page starts with the network off', async () => {
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null, null, { timeout: 60_000 });
    const cached = await page.evaluate(async (name) =>
      (await (await caches.open(name)).keys()).map((request) => new URL(request.url).pathname), cacheName);
    const files = (await readdir(SITE)).filter((file) => file !== 'service-worker.js').map((file) => `/${file}`);
    assert.deepEqual(cached.sort(), ['/', ...files].sort());
    await context.setOffline(true);
    await page.reload();
    await running(page);
    await animationAdvances(page);
    await context.setOffline(false);
  });

  await t.test('a new build put in place runs whole on the next visit, then offline from its cache', async () => {
    const next = async (file, change) => {
      await writeFile(join(scratch, file), change(await readFile(join(SITE, file), 'utf8')));
      return join(scratch, file);
    };
    overrides['/'] = overrides['/index.html'] = await next('index.html', (html) => html.replace('<body ', '<body data-page="next" '));
    overrides['/start.js'] = await next('start.js', (code) => `${code}\ndocument.body.dataset.script = 'next';\n`);
    overrides['/service-worker.js'] = await next('service-worker.js', (code) => code.replace(cacheName, 'brelox-next'));
    for (const offline of [false, true]) {
      await context.setOffline(offline);
      await page.reload();
      await running(page);
      const build = await page.evaluate(() => [document.body.dataset.page, document.body.dataset.script]);
      assert.deepEqual(build, ['next', 'next'], `the page and its script, both of the new build${offline ? ', offline' : ''}`);
      await page.waitForFunction(async () => (await caches.keys()).filter((name) => name !== 'brelox-pages').join() === 'brelox-next',
        null, { timeout: 60_000 });
    }
    await context.setOffline(false);
  });

  await t.test('an inline script is refused and reported: the listener and the policy work', async () => {
    const ran = await page.evaluate(() => {
      const script = document.createElement('script');
      script.textContent = 'window.inlineRan = true';
      document.body.appendChild(script);
      return window.inlineRan === true;
    });
    assert.equal(ran, false);
    await page.waitForFunction(() => window.violations.length > 0);
    assert.match((await page.evaluate(() => window.violations)).join(), /^script-src-elem inline$/);
  });

  assert.deepEqual(problems.filter((p) => !/Content Security Policy/.test(p)), [], 'console errors');
});

test('every broken download or stop is told: data-state failed and a plain cause', { timeout: 240_000 }, async (t) => {
  const { server, browser, overrides, scratch: broken } = await session(t);
  const truncated = async (file) => {
    const bytes = await readFile(join(SITE, file));
    const path = join(broken, file);
    await writeFile(path, bytes.subarray(0, bytes.length >> 1));
    return path;
  };
  const missing = join(broken, 'missing');
  // [case, URL path -> file served, what the page does once running, status line]
  const table = [
    ['a missing module', { '/brelox.wasm': missing }, null, /could not be downloaded \(brelox\.wasm: 404 Not Found\)/],
    ['a truncated module', { '/brelox.wasm': await truncated('brelox.wasm') }, null, /code is damaged \(brelox\.wasm: CompileError/],
    ['a missing script', { '/brelox.js': missing }, null, /could not be downloaded \(brelox\.js: 404 Not Found\)/],
    ['a truncated script', { '/brelox.js': await truncated('brelox.js') }, null, /code is damaged \(brelox\.js: SyntaxError/],
    ['an abort in the layer', {}, () => Module._glIsEnabled(0x1234), /stopped on an error: glIsEnabled: capability not provided/],
  ];
  for (const [what, served, act, message] of table) {
    for (const path of Object.keys(overrides)) delete overrides[path];
    Object.assign(overrides, served);
    const context = await browser.newContext();
    const page = await context.newPage();
    await page.goto(server.url);
    if (act) {
      await running(page);
      await page.evaluate(act).catch(() => {}); // the abort throws on to the caller
    }
    await page.waitForFunction(() => document.body.dataset.state === 'failed', null, { timeout: 30_000 })
      .catch(() => assert.fail(`${what}: the page never says it failed`));
    assert.match(await page.locator('#status').textContent(), message, what);
    await context.close();
  }

  await t.test('a download that hangs with no error is told once nothing arrives for a minute', async () => {
    const context = await browser.newContext();
    const page = await context.newPage();
    await page.clock.install();
    const asked = new Promise((done) => page.route('**/brelox.wasm', () => done())); // never answered
    await page.goto(server.url);
    await asked;
    await page.clock.runFor(59_000);
    assert.equal(await page.evaluate(() => document.body.dataset.state), 'loading');
    await page.clock.runFor(2_000);
    assert.match(await page.locator('#status').textContent(), /download stopped \(brelox\.wasm: nothing arrived/);
    await context.close();
  });
});
