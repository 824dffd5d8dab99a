// A lost WebGL context: the scene pauses and says so, the program runs on,
// and a context given back shows the scene as it was, pixel for pixel, under
// every light state; a context never given back is reported, and recovered
// from if it comes back late.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { openSession, requiredPath } from './harness.mjs';
import { loseContext, readScene } from './viewer.mjs';

// Every animation frame first puts the spins where the test pinned them, so
// that frames before and after a loss show the same scene state.
function pinSpins() {
  const request = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = (callback) =>
    request((time) => {
      if (window.pinned) Module.HEAPF32.set(window.pinned, (Module._breloxScene() + 64) / 4);
      callback(time);
    });
}

const stateIs = (page, state, timeout = 10_000) =>
  page.waitForFunction((s) => document.body.dataset.state === s, state, { timeout });
const nextFrames = (page) =>
  page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));

test('a lost WebGL context pauses the scene and restores it as it was', { timeout: 180_000 }, async (t) => {
  const { server, browser } = await openSession(t, requiredPath('BRELOX_SITE_DIR'));
  const page = await browser.newPage({ viewport: { width: 1280, height: 900 } });
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  await page.addInitScript(pinSpins);
  await page.goto(server.url);
  await stateIs(page, 'running', 60_000);
  await page.evaluate(() => { window.pinned = [37, 59.2]; });
  const canvas = page.locator('#canvas');
  await canvas.click({ position: { x: 20, y: 100 } }); // clear of the Pause button

  // [key pressed first, lights]
  for (const [key, lights] of [[null, [true, false]], ['l', [false, true]], ['k', [false, false]]]) {
    await t.test(`lights ${lights}`, async () => {
      if (key) await page.keyboard.press(key);
      await nextFrames(page);
      const before = await canvas.screenshot();
      await page.evaluate(loseContext, true);
      await stateIs(page, 'paused');
      assert.match(await page.locator('#status').textContent(), /paused/);
      const spins = (await page.evaluate(readScene)).spins;
      await page.evaluate(() => { window.pinned = null; });
      await page.waitForFunction((s) => Module.HEAPF32[(Module._breloxScene() + 64) / 4] !== s, spins[0]);
      await page.evaluate(() => { window.pinned = [37, 59.2]; });
      await page.evaluate(loseContext, false);
      await stateIs(page, 'running');
      await nextFrames(page);
      assert.deepEqual((await page.evaluate(readScene)).lights, lights);
      assert.ok(before.equals(await canvas.screenshot()), 'the frame after the restore differs from the one before');
    });
  }

  await t.test('never given back: said so for good, the program runs on; back late: recovered', async () => {
    await page.evaluate(loseContext, true);
    await stateIs(page, 'paused');
    await page.evaluate(() => { window.pinned = null; });
    await page.keyboard.down('w');
    await stateIs(page, 'failed', 15_000);
    await page.keyboard.up('w');
    assert.match(await page.locator('#status').textContent(), /not given the graphics back/);
    const lost = await page.evaluate(readScene);
    await page.waitForFunction((s) => Module.HEAPF32[(Module._breloxScene() + 64) / 4] !== s, lost.spins[0]);
    assert.ok(lost.eye[2] < 7, 'the held key moved the eye while the context was lost');
    await page.evaluate(loseContext, false);
    await stateIs(page, 'running');
  });
  assert.deepEqual(errors, []);
});
