// A seeded storm of mixed input on the real page, for at least ten seconds:
// keys held and released, mouse buttons, several fingers starting, moving,
// ending and cancelling (on the scene and on the on-screen controls), focus
// lost and regained, the page hidden and shown, resizes, fullscreen in and
// out, the GL context lost and restored. Afterwards the viewer must still
// animate, hold no key flag and move the camera no further once the storm
// has let go of everything, and have thrown nothing. BRELOX_SEED replays a
// run; the seed is printed.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { openSession, requiredPath } from './harness.mjs';
import { loseContext, readScene, setPageHidden, watchConsole } from './viewer.mjs';

const STORM_MS = 10_000;
const KEYS = ['w', 'a', 's', 'd', 'W', 'ArrowUp', 'ArrowDown', 'ArrowLeft', 'ArrowRight', 'PageUp', 'PageDown',
  'k', 'l', 'Shift', 'x', 'F5'];
const FLAGS = ['moveRight', 'moveBack', 'moveLeft', 'moveForward', 'lookDown', 'lookUp'];
const SIZES = [[1280, 900], [390, 844], [844, 390], [1024, 768], [600, 900]];

// mulberry32: small, seedable, the same sequence in every Node.
function random(seed) {
  let a = seed >>> 0;
  return () => {
    a = (a + 0x6d2b79f5) >>> 0;
    let t = Math.imul(a ^ (a >>> 15), 1 | a);
    t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

// Everything the storm holds, so that the end can let go of it all.
function stormState() {
  return { keys: new Set(), mouse: false, fingers: new Map(), nextFinger: 1, lost: false };
}

// Starts and moves list every finger down, an end the one that lifts; a
// cancel takes them all.
async function touch(cdp, storm, type, ids = [...storm.fingers.keys()]) {
  const touchPoints = ids.map((id) => ({ id, x: storm.fingers.get(id)[0], y: storm.fingers.get(id)[1] }));
  await cdp.send('Input.dispatchTouchEvent', { type, touchPoints });
}

// One random event; `pick` chooses from a list, `within` a point on the canvas or a control.
function actions(page, cdp, storm, pick, next, within) {
  return [
    async () => {
      const key = pick(KEYS);
      if (storm.keys.has(key)) {
        storm.keys.delete(key);
        await page.keyboard.up(key);
      } else {
        storm.keys.add(key);
        await page.keyboard.down(key);
      }
    },
    async () => {
      const [x, y] = await within();
      await page.mouse.move(x, y);
      if (storm.mouse) await page.mouse.up();
      else await page.mouse.down({ button: pick(['left', 'left', 'middle', 'right']) });
      storm.mouse = !storm.mouse;
    },
    async () => {
      const [x, y] = await within();
      await page.mouse.move(x, y, { steps: 2 });
    },
    async () => {
      if (storm.fingers.size >= 3) return;
      storm.fingers.set(storm.nextFinger++, await within());
      await touch(cdp, storm, 'touchStart');
    },
    async () => {
      if (storm.fingers.size === 0) return;
      for (const [id, [x, y]] of storm.fingers) storm.fingers.set(id, [x + pick([-7, 3, 11]), y + pick([-5, 4, 9])]);
      await touch(cdp, storm, 'touchMove');
    },
    async () => {
      if (storm.fingers.size === 0) return;
      if (next() < 0.2) {
        await touch(cdp, storm, 'touchCancel', []);
        storm.fingers.clear();
        return;
      }
      const id = pick([...storm.fingers.keys()]);
      await touch(cdp, storm, 'touchEnd', [id]);
      storm.fingers.delete(id);
    },
    async () => {
      await page.evaluate(() => window.dispatchEvent(new Event('blur')));
      await page.evaluate(() => window.dispatchEvent(new Event('focus')));
    },
    async () => {
      await page.evaluate(setPageHidden, true);
      await page.evaluate(setPageHidden, false);
    },
    async () => {
      const [width, height] = pick(SIZES);
      await page.setViewportSize({ width, height });
    },
    async () => {
      await page.locator('#fullscreen').click({ force: true });
    },
    async () => {
      storm.lost = !storm.lost;
      await page.evaluate(loseContext, storm.lost);
    },
  ];
}

test('a storm of mixed input leaves the viewer animating, with nothing held', { timeout: 240_000 }, async (t) => {
  const seed = process.env.BRELOX_SEED ? Number(process.env.BRELOX_SEED) : Math.floor(Math.random() * 2 ** 32);
  console.log(`storm seed ${seed} (BRELOX_SEED=${seed} replays it)`);
  const next = random(seed);
  const pick = (list) => list[Math.floor(next() * list.length)];

  const { server, browser } = await openSession(t, requiredPath('BRELOX_SITE_DIR'));
  const context = await browser.newContext({ viewport: { width: 1280, height: 900 }, hasTouch: true });
  const page = await context.newPage();
  const problems = watchConsole(page);
  await page.goto(server.url);
  await page.waitForFunction(() => document.body.dataset.state === 'running', null, { timeout: 60_000 });
  await page.locator('#canvas').click();
  const cdp = await context.newCDPSession(page);

  // A point on the canvas, or on one of the controls over it, as it is now.
  const within = async () => {
    const targets = await page.locator('#stage canvas, #stage button:visible').all();
    const box = await pick(targets).boundingBox();
    if (!box) return [10, 10];
    return [box.x + next() * box.width, box.y + next() * box.height];
  };

  const storm = stormState();
  const list = actions(page, cdp, storm, pick, next, within);
  let events = 0;
  for (const started = Date.now(); Date.now() - started < STORM_MS; ++events) await pick(list)();

  // Let go of everything the storm still holds.
  for (const key of storm.keys) await page.keyboard.up(key);
  if (storm.mouse) await page.mouse.up();
  if (storm.fingers.size) await touch(cdp, storm, 'touchEnd');
  storm.fingers.clear();
  if (storm.lost) await page.evaluate(loseContext, false);
  if (await page.locator('#pause').textContent() === 'Play') await page.locator('#pause').click(); // pressed as any button
  t.diagnostic(`${events} events in ${STORM_MS / 1000} s`);

  await page.waitForFunction(() => document.body.dataset.state === 'running', null, { timeout: 10_000 });
  const settled = await page.evaluate(readScene);
  await page.waitForTimeout(300);
  const later = await page.evaluate(readScene);
  assert.notDeepEqual(later.spins, settled.spins, 'the boxes still spin');
  for (const flag of FLAGS) assert.equal(later[flag], false, `${flag} held after the storm (seed ${seed})`);
  assert.deepEqual([later.eye, later.heading], [settled.eye, settled.heading], `the camera drifts with nothing held (seed ${seed})`);
  assert.ok([...later.eye, ...later.look, later.heading].every(Number.isFinite), 'the camera stays finite');
  assert.deepEqual(problems, [], `errors during the storm (seed ${seed})`);
});
