// The page on a phone: a finger drags the view one degree per CSS pixel,
// each on-screen button does what its key does, two fingers work at once,
// and losing the focus or hiding the page lets go of everything.
// Touches are real input, sent through CDP. Then the layout on every touch screen.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { writeFile } from 'node:fs/promises';
import { openSession, requiredPath } from './harness.mjs';
import { HOLD_MS, MOVE_STEP, TILT_STEP, TURN_STEP, axeViolations, readScene, screenReaderPress, setPageHidden, watchConsole }
  from './viewer.mjs';

const PHONE = { isMobile: true, hasTouch: true, deviceScaleFactor: 3, viewport: { width: 390, height: 844 } };
const FLAGS = ['moveRight', 'moveBack', 'moveLeft', 'moveForward', 'lookDown', 'lookUp'];

async function openViewer(browser, server, options) {
  const context = await browser.newContext(options);
  const page = await context.newPage();
  const problems = watchConsole(page);
  await page.goto(server.url);
  await page.waitForFunction(() => document.body.dataset.state === 'running', null, { timeout: 60_000 });
  return { context, page, problems, scene: () => page.evaluate(readScene) };
}

// Fingers by id, each at its point. Starts and moves list every finger down;
// an end lists the finger that lifts; a cancel takes them all. Moves reach the page on its
// next animation frame, as the browser aligns them.
function fingers(page, cdp) {
  const down = new Map();
  const points = (ids) => ids.map((id) => ({ id, x: down.get(id)[0], y: down.get(id)[1] }));
  const send = (type, ids) => cdp.send('Input.dispatchTouchEvent', { type, touchPoints: points(ids) });
  const frame = () => page.evaluate(() => new Promise((done) => requestAnimationFrame(() => done())));
  return {
    start: (id, x, y) => (down.set(id, [x, y]), send('touchStart', [...down.keys()])),
    move: async (id, x, y) => {
      down.set(id, [x, y]);
      await send('touchMove', [...down.keys()]);
      await frame();
    },
    end: async (id, type = 'touchEnd') => {
      await send(type, type === 'touchCancel' ? [] : [id]);
      if (type === 'touchCancel') down.clear();
      else down.delete(id);
    },
  };
}

const centre = (box) => [box.x + box.width / 2, box.y + box.height / 2];

test('on a phone: the canvas fits, fingers drag, the on-screen buttons are keys', { timeout: 180_000 }, async (t) => {
  const { server, browser } = await openSession(t, requiredPath('BRELOX_SITE_DIR'));
  const { context, page, problems, scene } = await openViewer(browser, server, PHONE);
  const touch = fingers(page, await context.newCDPSession(page));
  const canvas = await page.locator('#canvas').boundingBox();
  const named = (name) => page.getByRole('button', { name, exact: true });
  const button = async (name) => centre(await named(name).boundingBox());
  // A finger, Space on the focused button, or a screen reader's press: a
  // lone click or the sequence; each returns how it lets go.
  const press = async (name, how) => {
    if (how === 'click' || how === 'sequence') // a key held until a tick has run
      return named(name).evaluate(how === 'click' ? (element) => element.click() : screenReaderPress)
        .then(() => () => page.waitForSelector('.held', { state: 'detached' }));
    if (how !== 'Space') return touch.start(2, ...(await button(name))).then(() => () => touch.end(2, how));
    await named(name).focus();
    await page.keyboard.down(' ');
    return () => page.keyboard.up(' ');
  };

  await t.test('one finger drags the view one degree per CSS pixel', async () => {
    const [x, y] = [canvas.x + 100, canvas.y + 60];
    const before = await scene();
    await touch.start(1, x, y);
    await touch.move(1, x + 40, y);
    await touch.move(1, x + 25, y + 10);
    const dragged = await scene();
    await touch.end(1);
    assert.ok(Math.abs(dragged.heading - before.heading - 25) < 1e-9, `heading ${dragged.heading}`);
    assert.ok(Math.abs(dragged.look[1] - before.look[1] + 0.02) < 1e-9, 'one tilt step down');
  });

  await t.test("each button acts while held by a finger or Space, and one step for a screen reader's press in either form", async () => {
    const sideways = ([x, , z]) => [-z, 0, x]; // to the right of the view
    const moves = (direction) => (a, b) => { // steps along the direction from a's look vector
      const d = direction(a.look);
      return d.reduce((sum, v, i) => sum + v * (b.eye[i] - a.eye[i]), 0) / (MOVE_STEP * d.reduce((sum, v) => sum + v * v, 0));
    };
    const turned = (a, b) => ((b.heading - a.heading + 540) % 360) - 180;
    // [button, the flag it holds, what changes, how far it acted between two
    // states (steps, or pixels of a drag), how its finger lets go]
    const table = [
      ['Move forward', 'moveForward', 'eye', moves((look) => look), 'touchEnd'],
      ['Move back', 'moveBack', 'eye', moves((look) => look.map((v) => -v)), 'touchCancel'],
      ['Move left', 'moveLeft', 'eye', moves((look) => sideways(look).map((v) => -v)), 'touchEnd'],
      ['Move right', 'moveRight', 'eye', moves(sideways), 'touchEnd'],
      ['Tilt up', 'lookUp', 'tilt', (a, b) => (b.look[1] - a.look[1]) / TILT_STEP, 'touchEnd'],
      ['Tilt down', 'lookDown', 'tilt', (a, b) => (a.look[1] - b.look[1]) / TILT_STEP, 'touchCancel'],
      ['Turn left', null, 'heading', (a, b) => -turned(a, b), 'touchCancel'],
      ['Turn right', null, 'heading', turned, 'touchEnd'],
    ];
    const changed = (a, b) => Object.entries({ eye: a.eye.some((v, i) => v !== b.eye[i]), tilt: a.look[1] !== b.look[1],
      heading: a.heading !== b.heading }).filter(([, yes]) => yes).map(([what]) => what);
    for (const [name, flag, what, acted, finger] of table) {
      for (const how of [finger, 'click', 'Space', 'sequence']) { // a screen reader's lone click long after any key
        const held = how !== 'click' && how !== 'sequence';
        const before = await scene();
        const release = await press(name, how);
        if (held) await page.waitForTimeout(HOLD_MS);
        const holding = await scene();
        await release();
        const after = await scene();
        if (!flag) await page.waitForTimeout(HOLD_MS); // a turn stops on release
        const later = await scene();
        const label = `${name} by ${how}`;
        if (held) for (const other of FLAGS) assert.equal(holding[other], other === flag, `${label}: ${other} while held`);
        assert.ok(FLAGS.every((other) => !later[other]) && later.heading === after.heading, `${label}: still acting after release`);
        assert.deepEqual(changed(before, later), [what], `${label}: what changed`);
        const amount = acted(before, later), whole = Math.round(amount), step = flag ? 1 : TURN_STEP;
        assert.ok(Math.abs(amount - whole) < 1e-6 && (held ? whole >= step : whole === step), `${label}: ${amount}`);
      }
    }
  });

  await t.test('the light buttons switch as K and L do, once for a held Space or a click', async () => {
    const states = [
      ['Lights off', 'touchEnd', [false, false]],
      ['Switch lights', 'touchEnd', [false, true]],
      ['Switch lights', 'click', [true, false]], // long after a key, as a screen reader's
      ['Switch lights', 'Space', [false, true]],
      ['Switch lights', 'sequence', [true, false]],
    ];
    for (const [name, how, lights] of states) {
      await (await press(name, how))();
      assert.deepEqual((await scene()).lights, lights, `${name} by ${how}`);
    }
  });

  await t.test('a thumb holds forward while another finger drags; each ends only its own', async () => {
    const before = await scene();
    await touch.start(4, ...(await button('Move forward')));
    await touch.start(5, canvas.x + 50, canvas.y + 100);
    await touch.move(5, canvas.x + 80, canvas.y + 100);
    await touch.end(5);
    const dragged = await scene();
    assert.ok(Math.abs(dragged.heading - before.heading - 30) < 1e-9, `heading ${dragged.heading}`);
    assert.equal(dragged.moveForward, true, 'lifting the dragging finger let go of forward');
    await touch.end(4);
    assert.equal((await scene()).moveForward, false);
  });

  await t.test('losing the focus or hiding the page lets go of keys, buttons, turns and drags', async () => {
    const leave = {
      blur: [() => window.dispatchEvent(new Event('blur')), () => window.dispatchEvent(new Event('focus'))],
      hidden: [setPageHidden, setPageHidden],
    };
    for (const [how, [away, back]] of Object.entries(leave)) {
      await page.keyboard.down('d');
      await touch.start(6, ...(await button('Tilt up')));
      await touch.start(9, ...(await button('Turn right')));
      await touch.start(7, canvas.x + 60, canvas.y + 60);
      assert.ok((await scene()).moveRight && (await scene()).lookUp, `${how}: held before`);
      await page.evaluate(away, true);
      const left = await scene();
      for (const flag of FLAGS) assert.equal(left[flag], false, `${how}: ${flag}`);
      await touch.move(7, canvas.x + 90, canvas.y + 60);
      await page.waitForTimeout(HOLD_MS);
      const later = await scene();
      assert.deepEqual([later.eye, later.heading, later.look], [left.eye, left.heading, left.look], `${how}: still moving`);
      await touch.end(7);
      await touch.end(9);
      await touch.end(6);
      await page.keyboard.up('d');
      await page.evaluate(back, false);
      await touch.start(8, ...(await button('Move left')));
      assert.equal((await scene()).moveLeft, true, `${how}: a new press works`);
      await touch.end(8);
    }
  });

  assert.deepEqual(problems, [], 'console errors on the phone');
});

test('on a desktop with a mouse and reduced motion: Tab reaches the turn buttons alone, a still start', { timeout: 120_000 }, async (t) => {
  const { server, browser } = await openSession(t, requiredPath('BRELOX_SITE_DIR'));
  const { page, scene } = await openViewer(browser, server, { viewport: { width: 1280, height: 900 }, reducedMotion: 'reduce' });
  await page.focus('#canvas');
  const reached = []; // Tab by Tab: each control's name and whether it shows; null past the scene
  for (let i = 0; i < 5; ++i) {
    await page.keyboard.press('Tab');
    reached.push(await page.evaluate(() => document.activeElement.closest('#stage') &&
      [document.activeElement.ariaLabel ?? document.activeElement.textContent, document.activeElement.checkVisibility()]));
  }
  assert.deepEqual(reached, [['Full screen', true], ['Play', true], ['Turn left', true], ['Turn right', true], null]);
  await page.waitForTimeout(HOLD_MS);
  assert.deepEqual([(await scene()).spins, await page.locator('#status').textContent()], [[0, 0], 'The scene is still, as this device asks for less motion: press Play to set it moving.']);
});

// Every kind of touch screen: [width, height, device pixel ratio, the scene's
// least share of the width (upright phones) or height (phones sideways)]
const SCREENS = [[360, 640, 3, 0.85, 0], [390, 844, 3, 0.85, 0], [430, 932, 3, 0.85, 0], [640, 360, 3, 0, 0.8],
  [844, 390, 3, 0, 0.8], [932, 430, 3, 0, 0.8], [768, 1024, 2, 0, 0], [1024, 768, 2, 0, 0], [820, 1180, 2, 0, 0]];
const SCREENSHOTS = { 390: 'phone-portrait.png', 844: 'phone-landscape.png' };

// In the page: the layout's faults, the scene's size and how far the nearest
// control keeps from the scene's middle half.
function layout([width, height, ratio, across, down]) {
  const canvas = document.getElementById('canvas');
  const s = canvas.getBoundingClientRect();
  const middle = new DOMRect(s.x + s.width / 4, s.y + s.height / 4, s.width / 2, s.height / 2);
  const apart = (a, b) => [Math.max(0, a.left - b.right, b.left - a.right), Math.max(0, a.top - b.bottom, b.top - a.bottom)];
  const overlap = (a, b) => apart(a, b).every((gap) => gap === 0);
  const onScreen = (b) => b.left >= 0 && b.top >= 0 && b.right <= width && b.bottom <= height;
  const faults = [];
  if (scrollX || scrollY || document.documentElement.scrollWidth > width) faults.push('scrolled');
  if (canvas.width !== Math.round(s.width * ratio) || canvas.height !== Math.round(s.height * ratio)) faults.push('buffer');
  if (!onScreen(s) || s.width < across * width || s.height < down * height) faults.push('scene');
  const buttons = [...document.querySelectorAll('#stage button')].map((b) => [b.textContent, b.getBoundingClientRect(), b]);
  buttons.forEach(([name, r, b], i) => {
    if (!b.checkVisibility() || !onScreen(r) || r.width < 44 || r.height < 44 || overlap(r, middle)) faults.push(name);
    for (const [other, o] of buttons.slice(i + 1)) if (overlap(r, o)) faults.push(`${name} over ${other}`);
  });
  const gap = Math.min(...buttons.map(([, r]) => Math.hypot(...apart(r, middle))));
  return { faults, gap, size: `${s.width} x ${s.height}`, centre: [s.x + s.width / 2, s.y + s.height / 2] };
}

test('every touch screen, as it opens and in full screen, running and paused: all in view, apart, clear of the middle; axe finds nothing',
  { timeout: 300_000 }, async (t) => {
  const { server, browser } = await openSession(t, requiredPath('BRELOX_SITE_DIR'));
  for (const screen of SCREENS) {
    const [width, height, deviceScaleFactor] = screen;
    const { context, page, problems, scene } = await openViewer(browser, server,
      { isMobile: true, hasTouch: true, deviceScaleFactor, viewport: { width, height } });
    const touch = fingers(page, await context.newCDPSession(page));
    assert.match(await page.locator('#status').textContent(), /^Drag the scene[^]*hold the buttons/, 'touch words');
    if (process.env.BRELOX_UPDATE_SCREENSHOTS === '1' && SCREENSHOTS[width])
      await writeFile(new URL(`../../docs/${SCREENSHOTS[width]}`, import.meta.url), await page.screenshot({ scale: 'css' }));
    for (const how of ['as it opens', 'full screen, paused']) {
      const what = `${width} x ${height}, ${how}`;
      const { faults, gap, size, centre: [x, y] } = await page.evaluate(layout, screen);
      assert.deepEqual(faults, [], what);
      t.diagnostic(`${what}: scene ${size}, the nearest control ${gap.toFixed(1)} px from its middle`);
      assert.deepEqual(await axeViolations(page), [], what);
      // A finger across the middle turns the view by the distance dragged, paused too (the heading wraps at 360).
      const before = await scene();
      await touch.start(1, x - 30, y);
      await touch.move(1, x + 30, y);
      await touch.end(1);
      assert.ok(Math.abs(((await scene()).heading - before.heading + 360) % 360 - 60) < 1e-9, `${what}: turned`);
      if (how !== 'as it opens') break;
      await page.locator('#fullscreen').click();
      await page.locator('#pause').click();
      await page.waitForFunction(([w, h]) => {
        const c = document.getElementById('canvas');
        return c.clientWidth === w && c.clientHeight === h && c.width === w * devicePixelRatio; // reshaped
      }, [width, height], { timeout: 10_000 });
    }
    assert.deepEqual(problems, []);
    await context.close();
  }
});
