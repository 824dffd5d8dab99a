// The real page, as a visitor uses it: it loads cleanly, a click gives the
// keys to the viewer, dragging turns and tilts, held keys fly, K and L switch
// the lights, Pause holds time, Escape ends the viewer; and a browser without
// WebGL 2 is told so.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { writeFile } from 'node:fs/promises';
import { fileURLToPath } from 'node:url';
import { openSession, requiredPath } from './harness.mjs';
import { HOLD_MS, MOVE_STEP, RADIANS_PER_DEGREE, TILT_STEP, TURN_STEP, axeViolations, near, readScene, watchConsole } from './viewer.mjs';

const settle = (page) => page.waitForTimeout(100); // a few ticks and frames

test('the viewer page: clean load, focus, lights, held keys, drags and Escape', { timeout: 180_000 }, async (t) => {
  const { server, browser } = await openSession(t, requiredPath('BRELOX_SITE_DIR'));
  const page = await (await browser.newContext({ viewport: { width: 1280, height: 900 } })).newPage(); // axe opens a page beside it
  const problems = watchConsole(page);
  await page.goto(server.url);
  await page.waitForFunction(() => document.body.dataset.state === 'running', null, { timeout: 60_000 });
  const scene = () => page.evaluate(readScene);

  await t.test('one 800 x 600 canvas, the controls table, the start state', async () => {
    const layout = await page.evaluate(() => ({
      canvases: [...document.querySelectorAll('canvas')].map((c) => [c.id, c.width, c.height]),
      controls: [...document.querySelectorAll('table')].map((table) => table.textContent).join(' '),
    }));
    assert.deepEqual(layout.canvases, [['canvas', 800, 600]]);
    for (const key of ['W', 'A', 'S', 'D', 'K', 'L', 'Escape', 'Page Up', '↺ ↻'])
      assert.match(layout.controls, new RegExp(key));
    const start = await scene();
    assert.deepEqual([start.eye, start.look, start.heading], [[0, 2, 7], [0, 0, -1], 270]);
    assert.deepEqual(start.lights, [true, false]);
    if (process.env.BRELOX_UPDATE_SCREENSHOTS === '1') {
      await settle(page);
      await writeFile(fileURLToPath(new URL('../../docs/web-screenshot.png', import.meta.url)),
        await page.screenshot({ fullPage: true }));
    }
  });

  const box = await page.locator('#canvas').boundingBox();
  const at = (x, y) => [box.x + x, box.y + y];

  await t.test('a click on the canvas gives it the keys; K and L switch the lights', async () => {
    await page.evaluate(() => document.activeElement?.blur());
    assert.match(await page.locator('#status').textContent(), /^Click the scene or [^;]*Tab/);
    await page.mouse.click(...at(20, 100)); // clear of the Pause button
    assert.ok(await page.evaluate(() => document.hasFocus() && document.activeElement?.id === 'canvas'));
    const states = [
      ['k', [false, false]],
      ['l', [false, true]],
      ['l', [true, false]],
      ['k', [false, false]],
      ['l', [false, true]],
    ];
    for (const [key, lights] of states) {
      await page.keyboard.press(key);
      assert.deepEqual((await scene()).lights, lights, `after ${key}`);
    }
  });

  await t.test('held keys move the eye every tick and stop on release', async () => {
    const sideways = ([x, , z]) => [-z, 0, x]; // to the right of the view
    // [key, flag, direction of one tick's step from the look vector, tilt per tick]
    const table = [
      ['w', 'moveForward', (look) => look, 0],
      ['s', 'moveBack', (look) => look.map((v) => -v), 0],
      ['d', 'moveRight', (look) => sideways(look), 0],
      ['a', 'moveLeft', (look) => sideways(look).map((v) => -v), 0],
      ['ArrowUp', 'moveForward', (look) => look, 0],
      ['ArrowDown', 'moveBack', (look) => look.map((v) => -v), 0],
      ['ArrowRight', 'moveRight', (look) => sideways(look), 0],
      ['ArrowLeft', 'moveLeft', (look) => sideways(look).map((v) => -v), 0],
      ['PageUp', 'lookUp', () => [0, 0, 0], TILT_STEP],
      ['PageDown', 'lookDown', () => [0, 0, 0], -TILT_STEP],
    ];
    for (const [key, flag, direction, tilt] of table) {
      const before = await scene();
      await page.keyboard.down(key);
      await page.waitForTimeout(HOLD_MS);
      const held = await scene();
      await page.keyboard.up(key);
      const released = await scene();
      await settle(page);
      const after = await scene();
      assert.ok(held[flag] && !released[flag], `${key} sets ${flag} while held and clears it on release`);
      assert.deepEqual(after.eye, released.eye, `${key}: the eye stops on release`);
      const step = direction(before.look).map((v) => MOVE_STEP * v);
      const moved = Math.hypot(...after.eye.map((v, i) => v - before.eye[i]));
      const ticks = tilt ? (after.look[1] - before.look[1]) / tilt : moved / Math.hypot(...step);
      assert.ok(ticks >= 2 && Math.abs(ticks - Math.round(ticks)) < 1e-6, `${key}: ${ticks} ticks`);
      for (let i = 0; i < 3; ++i) near(after.eye[i], before.eye[i] + Math.round(ticks) * step[i], `${key} eye[${i}]`);
    }
  });

  await t.test('a drag turns one degree per pixel and tilts one step per motion event; a turn button adds to it', async () => {
    // [mouse action or a screen reader's press on a turn button, canvas x, y, heading change, look.y change]
    const table = [
      ['down', 400, 300, 0, 0],
      ['move', 450, 280, 50, TILT_STEP], // a drag of one motion event
      ['Turn right', 450, 280, TURN_STEP, 0], // in between, leaving the drag as it was
      ['move', 440, 281, -10, -TILT_STEP],
      ['move', 440, 290, 0, -TILT_STEP],
      ['move', 470, 290, 30, 0],
      ['up', 470, 290, 0, 0],
      ['move', 300, 100, 0, 0], // no button held: not seen
      ['down', 100, 100, 0, 0],
      ['move', 99, 40, -1, TILT_STEP],
      ['up', 99, 40, 0, 0],
    ];
    let before = await scene();
    let pressedAt = null; // page position minus GLUT position, fixed per press
    for (const [action, x, y, turn, tilt] of table) {
      await page.mouse.move(...at(x, y));
      if (action.startsWith('Turn')) await page.getByRole('button', { name: action }).evaluate((button) => button.click());
      else if (action !== 'move') await page.mouse[action]();
      const now = await scene();
      const what = `${action} to ${x}, ${y}`;
      near(now.heading, before.heading + turn, `${what}: heading`);
      near(now.look[1], before.look[1] + tilt, `${what}: look.y`);
      // A turn recomputes the horizontal look from the heading; no turn leaves it.
      const [lookX, lookZ] = turn
        ? [Math.cos(now.heading * RADIANS_PER_DEGREE), Math.sin(now.heading * RADIANS_PER_DEGREE)]
        : [before.look[0], before.look[2]];
      near(now.look[0], lookX, `${what}: look.x`);
      near(now.look[2], lookZ, `${what}: look.z`);
      if (action === 'down') pressedAt = [x - now.anchor[0], y - now.anchor[1]];
      if (action === 'up') pressedAt = null;
      if (pressedAt) assert.deepEqual(now.anchor, [x - pressedAt[0], y - pressedAt[1]], `${what}: anchor`);
      else assert.deepEqual(now.anchor, before.anchor, `${what}: anchor`);
      before = now;
    }
  });

  await t.test('Pause holds time while input still shows; Play goes on from there; axe finds nothing', async () => {
    assert.deepEqual(await axeViolations(page), [], 'running');
    await page.click('#pause');
    await page.focus('#canvas'); // no focus ring comes up over the picture at the next key
    const paused = await scene();
    const picture = await page.locator('#canvas').screenshot();
    await page.keyboard.press('l');
    assert.notDeepEqual(await page.locator('#canvas').screenshot(), picture, 'the switch of the lights not drawn');
    await page.waitForTimeout(HOLD_MS);
    assert.deepEqual((await scene()).spins, paused.spins, 'the boxes spin while paused');
    assert.match(await page.locator('#status').textContent(), /Paused.*Play/);
    assert.deepEqual(await axeViolations(page), [], 'paused');
    await page.click('#pause');
    await settle(page);
    // The same whole number of ticks (1 and 1.6 degrees each) from the paused angles for both boxes.
    const [a, b] = (await scene()).spins.map((spin, i) => ((spin - paused.spins[i] + 360) % 360) / [1, 1.6][i]);
    assert.ok(a >= 1 && Math.abs(a - Math.round(a)) + Math.abs(b - a) < 1e-3, `${a} and ${b} ticks since play`);
  });

  await t.test('Escape ends the viewer: the animation stops and the page says how to restart', async () => {
    await page.keyboard.press('Escape');
    await page.waitForFunction(() => document.body.dataset.state === 'ended', null, { timeout: 10_000 });
    const ended = await scene();
    await page.keyboard.down('w');
    await page.waitForTimeout(HOLD_MS);
    await page.keyboard.up('w');
    const later = await scene();
    assert.deepEqual([later.spins, later.eye], [ended.spins, ended.eye]);
    const text = await page.evaluate(() => document.body.innerText);
    assert.match(text, /ended/i);
    assert.match(text, /reload|refresh/i);
  });

  assert.deepEqual(problems, [], 'console errors during the session');
});

test('the view described: what is in view, where and how near, the lights, or a way to turn; silent while nothing changes',
  { timeout: 120_000 }, async (t) => {
  const { server, browser } = await openSession(t, requiredPath('BRELOX_SITE_DIR'));
  const page = await (await browser.newContext({ viewport: { width: 1280, height: 900 } })).newPage(); // a 4:3 view
  await page.goto(server.url);
  await page.waitForFunction(() => document.getElementById('view').textContent, null, { timeout: 60_000 });
  await page.evaluate(() => { // counts what the region says from now on
    window.spoken = 0;
    new MutationObserver(() => ++window.spoken).observe(document.getElementById('view'), { childList: true });
  });
  const box = await page.locator('#canvas').boundingBox();
  const turn = async (pixels) => {
    await page.mouse.move(box.x + 400, box.y + 300);
    await page.mouse.down();
    await page.mouse.move(box.x + 400 + pixels, box.y + 300);
    await page.mouse.up();
  };
  const toSphere = async () => { // turned back to it, W held until the eye is 3 units from its centre
    await turn(-180);
    await page.keyboard.down('w');
    await page.waitForFunction(() => Math.hypot(...[12, 1, 0].map((v, i) => Module.HEAPF64[Module._breloxScene() / 8 + i] - v)) < 3);
    await page.keyboard.up('w');
  };
  // [what the visitor does, how, what the description says, what it does not]. The sphere stands 59.7
  // degrees right of the start view, 4.1 across, in a view 75.2 wide; facing away, the nearest box changes
  // as the blue one circles.
  const table = [
    ['nothing', () => {}, /In view: (the (green and red|blue and purple|yellow and teal) box, [^;]*near[;.] ?){3}The head light/, /sphere/],
    ['a turn of 15 px right', () => turn(15), /box/, /sphere/],
    ['5 px more', () => turn(5), /the yellow sphere, to the right, far/, /Nothing/],
    ['40 px more', () => turn(40), /^In view: the yellow sphere, ahead, far\. The head light is on\.$/, /box/],
    ['K', () => page.keyboard.press('k'), /sphere[^]*Dark/, /light is on/],
    ['L', () => page.keyboard.press('l'), /The side light is on/, /Dark/],
    ['a turn of 180 px', () => turn(180), /^Nothing in view; for the nearest, the [a-z ]+ box, turn right about 1[0-4]\d degrees/, /In view/],
    ['nothing for 3.5 s', () => page.waitForTimeout(3500), /^Nothing in view/, /In view/],
    ['a turn back, and W held up to the sphere', toSphere, /^In view: the yellow sphere, below, (near|close)\./, /box/],
    ['Pause', () => page.click('#pause'), /Paused\.$/, /Dark/],
  ];
  for (const [what, act, says, not] of table) {
    const count = await page.evaluate(() => window.spoken);
    await act();
    if (what.startsWith('nothing')) assert.equal(await page.evaluate(() => window.spoken), count, `${what}: spoke`);
    else await page.waitForFunction((n) => window.spoken > n, count, { timeout: 10_000 });
    const text = await page.locator('#view').textContent();
    t.diagnostic(`${what}: ${text}`);
    assert.match(text, says, what);
    assert.doesNotMatch(text, not, what);
  }
});

test('without WebGL 2 the page shows a plain message', { timeout: 60_000 }, async (t) => {
  const { server, browser } = await openSession(t, requiredPath('BRELOX_SITE_DIR'));
  const page = await browser.newPage();
  await page.addInitScript(() => {
    const getContext = HTMLCanvasElement.prototype.getContext;
    HTMLCanvasElement.prototype.getContext = function (type, ...rest) {
      return type === 'webgl2' ? null : getContext.call(this, type, ...rest);
    };
  });
  await page.goto(server.url);
  await page.waitForFunction(() => document.body.dataset.state === 'unsupported', null, { timeout: 30_000 });
  assert.match(await page.evaluate(() => document.body.innerText), /WebGL 2/);
});
