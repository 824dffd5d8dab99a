// The GLUT window follows the displayed canvas: its size in CSS pixels, its
// drawing buffer in device pixels, a reshape on every change (the projection
// keeps the displayed aspect, so the sphere stays round), full screen in and
// out, with the Fullscreen API and without it.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { launchChromium, serveFolder, requiredPath } from './harness.mjs';

// Records the last viewport and the projection's aspect (gluPerspective's
// m[5] / m[0]) that the layer hands WebGL; the projection is the shader
// block's second matrix (web/gl/layer.h).
function spyOnGl() {
  const proto = WebGL2RenderingContext.prototype;
  const viewport = proto.viewport;
  proto.viewport = function (...args) {
    window.lastViewport = args;
    return viewport.apply(this, args);
  };
  const bufferSubData = proto.bufferSubData;
  proto.bufferSubData = function (target, offset, source, start, length) {
    if (target === this.UNIFORM_BUFFER) {
      const projection = new Float32Array(source.buffer, source.byteOffset + start + 64, 16);
      window.lastAspect = projection[5] / projection[0];
    }
    return bufferSubData.call(this, target, offset, source, start, length);
  };
}

const windowState = () => {
  const canvas = document.getElementById('canvas');
  const rect = canvas.getBoundingClientRect();
  return {
    css: [rect.width, rect.height],
    at: [rect.left, rect.top],
    buffer: [canvas.width, canvas.height],
    viewport: window.lastViewport,
    aspect: window.lastAspect,
    ratio: devicePixelRatio,
    scrollWidth: document.documentElement.scrollWidth,
    full: document.fullscreenElement?.id ?? (document.body.classList.contains('fills-viewport') ? 'filled' : null),
    button: document.getElementById('fullscreen').textContent,
  };
};

// The window as it must be for a canvas of css x ratio: whole-pixel window,
// buffer at device resolution, viewport over it, the window's own aspect.
function assertWindow(state, css, what) {
  assert.ok(state.css.every((v, i) => Math.abs(v - css[i]) < 0.01), `${what}: canvas ${state.css}, expected ${css}`);
  const buffer = css.map((v) => Math.round(v * state.ratio));
  assert.deepEqual(state.buffer, buffer, `${what}: buffer`);
  assert.deepEqual(state.viewport, [0, 0, ...buffer], `${what}: viewport`);
  const [w, h] = css.map(Math.round);
  assert.ok(Math.abs(state.aspect - w / h) < 1e-5, `${what}: aspect ${state.aspect}, window ${w} x ${h}`);
}

async function openViewer(t, browser, url, options, initScript) {
  const context = await browser.newContext(options);
  t.after(() => context.close());
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  await page.addInitScript(spyOnGl);
  if (initScript) await page.addInitScript(initScript);
  await page.goto(url);
  await page.waitForFunction(() => document.body.dataset.state === 'running', null, { timeout: 60_000 });
  return { page, errors, state: () => page.evaluate(windowState) };
}

const PHONE = { isMobile: true, hasTouch: true, deviceScaleFactor: 3, viewport: { width: 390, height: 844 } };
const DESKTOP = { viewport: { width: 1280, height: 900 } };

test('the window follows the screen', { timeout: 240_000 }, async (t) => {
  const server = await serveFolder(requiredPath('BRELOX_SITE_DIR'));
  t.after(() => server.close());
  const browser = await launchChromium();
  t.after(() => browser.close());

  await t.test('desktop, DPR 2 and a phone: size, buffer, aspect, no sideways scroll', async (t) => {
    // [name, context, canvas CSS size, its position]
    const table = [
      ['desktop', DESKTOP, [800, 600], [24, 108]],
      ['DPR 2', { ...DESKTOP, deviceScaleFactor: 2 }, [800, 600], [24, 108]],
      ['phone', PHONE, [374, 280.5], null], // 390 less the body's margins, at 4:3
    ];
    for (const [name, options, css, at] of table) {
      const { state, errors } = await openViewer(t, browser, server.url, options);
      const now = await state();
      assertWindow(now, css, name);
      assert.equal(now.ratio, options.deviceScaleFactor ?? 1, `${name}: devicePixelRatio`);
      if (at) assert.deepEqual(now.at, at, `${name}: whole-pixel position`);
      assert.ok(now.scrollWidth <= options.viewport.width, `${name}: the page scrolls sideways (${now.scrollWidth})`);
      assert.deepEqual(errors, []);
    }
  });

  await t.test('full screen in and out, and a resize in it, reshape the window', async (t) => {
    const noApi = () => {
      delete Element.prototype.requestFullscreen;
      Object.defineProperty(Document.prototype, 'fullscreenEnabled', { get: () => false });
    };
    // [name, init script, fullscreen state while in]
    for (const [name, initScript, full] of [['Fullscreen API', null, 'stage'], ['CSS', noApi, 'filled']]) {
      const { page, state, errors } = await openViewer(t, browser, server.url, DESKTOP, initScript);
      const button = page.locator('#fullscreen');
      const box = await button.boundingBox();
      assert.ok(box.width >= 44 && box.height >= 44, `${name}: button ${box.width} x ${box.height}`);
      // Observers and fullscreenchange arrive with a later rendering step.
      const reached = (css, label) => page.waitForFunction(
        ([w, h, text]) => {
          const c = document.getElementById('canvas');
          return c.clientWidth === w && c.clientHeight === h && c.width === w * devicePixelRatio &&
            document.getElementById('fullscreen').textContent === text;
        },
        [...css, label], { timeout: 10_000 });

      await button.click();
      await reached([1280, 900], 'Leave full screen');
      let now = await state();
      assert.equal(now.full, full, name);
      assert.equal(now.button, 'Leave full screen');
      assertWindow(now, [1280, 900], `${name}: full screen`);

      await page.setViewportSize({ width: 1024, height: 768 });
      await reached([1024, 768], 'Leave full screen');
      assertWindow(await state(), [1024, 768], `${name}: resized in full screen`);

      await button.click();
      await reached([800, 600], 'Full screen');
      now = await state();
      assert.equal(now.full, null, name);
      assert.equal(now.button, 'Full screen');
      assertWindow(now, [800, 600], `${name}: back`);
      assert.deepEqual(errors, []);
    }
  });
});
