// A lost WebGL context, as after a GPU reset: the page says the scene is
// paused while the viewer runs on, and once the browser gives the context
// back the scene returns exactly as it was drawn before, lights included;
// a context never given back is told for good, with nothing thrown.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { openSession, requiredPath } from './harness.mjs';
import { readScene, watchConsole } from './viewer.mjs';

// The extension, taken while the context lives: a lost one gives none.
const loseContext = (restore) => {
  window.loseExtension ??= document.getElementById('canvas').getContext('webgl2').getExtension('WEBGL_lose_context');
  window.loseExtension[restore ? 'restoreContext' : 'loseContext']();
};

// Holds the viewer's ticks, so that the frames before and after compare:
// the tick is the only timer the viewer arms, and it re-arms itself.
function holdTicks() {
  window.heldTicks = [];
  const setTimeoutAsBefore = window.setTimeout;
  window.setTimeout = (callback, ...rest) => window.heldTicks.push([callback, rest]);
  window.releaseTicks = () => {
    window.setTimeout = setTimeoutAsBefore;
    for (const [callback, rest] of window.heldTicks) setTimeoutAsBefore(callback, ...rest);
  };
}

const state = (page) => page.evaluate(() => [document.body.dataset.state, document.getElementById('status').textContent]);
const frame = (page) => page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));

test('a lost context pauses the scene and a restored one brings it back', { timeout: 120_000 }, async (t) => {
  const { server, browser } = await openSession(t, requiredPath('BRELOX_SITE_DIR'));
  const page = await browser.newPage({ viewport: { width: 1280, height: 900 } });
  const problems = watchConsole(page);
  await page.goto(server.url);
  await page.waitForFunction(() => document.body.dataset.state === 'running', null, { timeout: 60_000 });
  const canvas = page.locator('#canvas');
  await canvas.click();

  // [keys before the loss, lights in the frames compared]
  const table = [
    ['', [true, false]],
    ['k', [false, false]],
    ['l', [false, true]],
  ];
  for (const [key, lights] of table) {
    if (key) await page.keyboard.press(key);
    await page.evaluate(holdTicks);
    await frame(page);
    const before = await canvas.screenshot();
    const scene = await page.evaluate(readScene);
    await page.evaluate(loseContext, false);
    assert.match((await state(page)).join(' '), /^paused .*paused/, 'the status line while lost');
    await page.evaluate(loseContext, true);
    await page.waitForFunction(() => document.body.dataset.state === 'running', null, { timeout: 5_000 });
    await frame(page);
    assert.deepEqual(scene.lights, lights);
    assert.ok((await canvas.screenshot()).equals(before), `lights ${lights}: the restored frame differs`);
    await page.evaluate(() => window.releaseTicks());
  }
  assert.deepEqual(problems, [], 'console errors around the loss');
});

test('a context never given back is told for good; the viewer runs on', { timeout: 120_000 }, async (t) => {
  const { server, browser } = await openSession(t, requiredPath('BRELOX_SITE_DIR'));
  const page = await browser.newPage();
  const problems = watchConsole(page);
  await page.goto(server.url);
  await page.waitForFunction(() => document.body.dataset.state === 'running', null, { timeout: 60_000 });
  await page.evaluate(loseContext, false);
  const lost = await page.evaluate(readScene);
  await page.waitForFunction(() => document.body.dataset.state === 'failed', null, { timeout: 15_000 });
  assert.match((await state(page))[1], /not given the graphics back.*[Rr]eload/);
  assert.notDeepEqual((await page.evaluate(readScene)).spins, lost.spins, 'the ticks stopped');
  assert.deepEqual(problems, []);
});
