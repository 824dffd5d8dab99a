// What the page's tests share: the viewer's state read from its scene record
// in the module's memory, the steps it moves by, watches on the console and axe.
import assert from 'node:assert/strict';
import AxeBuilder from '@axe-core/playwright';

export const TILT_STEP = 0.02;
export const MOVE_STEP = 0.2;
export const RADIANS_PER_DEGREE = 3.14159 / 180; // the viewer's own factor
export const HOLD_MS = 250;
export const TURN_STEP = 15; // pixels a turn button's press turns at least

// The scene record's layout (src/app/scene_state.h) under wasm32: three
// doubles each for eye and look, the heading, six flags, two floats, two ints.
export function readScene() {
  const at = Module._breloxScene();
  const f64 = (offset) => Module.HEAPF64[(at + offset) / 8];
  const flag = (offset) => Module.HEAPU8[at + offset] === 1;
  return {
    eye: [f64(0), f64(8), f64(16)],
    look: [f64(24), f64(32), f64(40)],
    heading: f64(48),
    moveRight: flag(56),
    moveBack: flag(57),
    moveLeft: flag(58),
    moveForward: flag(59),
    lookDown: flag(60),
    lookUp: flag(61),
    spins: [Module.HEAPF32[(at + 64) / 4], Module.HEAPF32[(at + 68) / 4]],
    anchor: [Module.HEAP32[(at + 72) / 4], Module.HEAP32[(at + 76) / 4]],
    lights: [Module._glIsEnabled(0x4000), Module._glIsEnabled(0x4001)].map(Boolean), // GL_LIGHT0, GL_LIGHT1
  };
}

export const near = (actual, expected, what) =>
  assert.ok(Math.abs(actual - expected) < 1e-9, `${what}: ${actual}, expected ${expected}`);

// Errors, uncaught exceptions, failed requests and GL errors, from the start.
export function watchConsole(page) {
  const problems = [];
  page.on('console', (message) => {
    if (message.type() === 'error' || (message.type() === 'warning' && /WebGL|GL_/.test(message.text())))
      problems.push(`console ${message.type()}: ${message.text()}`);
  });
  page.on('pageerror', (error) => problems.push(`exception: ${error.message}`));
  page.on('requestfailed', (request) => problems.push(`request failed: ${request.url()}`));
  page.on('response', (response) => {
    if (response.status() >= 400) problems.push(`HTTP ${response.status()}: ${response.url()}`);
  });
  return problems;
}

// The rules of WCAG 2.2 A and AA and axe-core's best practices broken, each with its elements.
export async function axeViolations(page) {
  const axe = new AxeBuilder({ page }).withTags(['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'wcag22aa', 'best-practice']);
  return (await axe.analyze()).violations.map((rule) => `${rule.id}: ${rule.nodes.map((node) => node.target).join(', ')}`);
}

// To evaluate in the page. The extension is taken while the context lives (a
// lost one gives none); loss and restore each complete with their event,
// waited for 5 s at most, since a restore asked for before the page has heard
// of the loss is refused.
export function loseContext(lose) {
  const canvas = document.getElementById('canvas');
  window.loseExtension ??= canvas.getContext('webgl2').getExtension('WEBGL_lose_context');
  const type = lose ? 'webglcontextlost' : 'webglcontextrestored';
  return new Promise((done, fail) => {
    setTimeout(() => fail(new Error(`no ${type} event`)), 5000);
    canvas.addEventListener(type, () => done(), { once: true });
    window.loseExtension[lose ? 'loseContext' : 'restoreContext']();
  });
}

// To evaluate in the page: a screen reader's press as the accessibility API
// sends it, all in one task and from the mouse; a cancelled pointerdown drops
// the mouse's pair.
export function screenReaderPress(element) {
  const mouse = { bubbles: true, cancelable: true, composed: true, button: 0, detail: 1, pointerId: 1, pointerType: 'mouse', isPrimary: true };
  element.focus();
  const down = element.dispatchEvent(new PointerEvent('pointerdown', { ...mouse, buttons: 1 }));
  for (const [type, Type] of [['mousedown', MouseEvent], ['pointerup', PointerEvent], ['mouseup', MouseEvent], ['click', PointerEvent]])
    if (down || Type === PointerEvent) element.dispatchEvent(new Type(type, mouse));
}

// To evaluate in the page: headless Chromium never hides a page itself.
export function setPageHidden(hidden) {
  Object.defineProperty(document, 'hidden', { value: hidden, configurable: true });
  Object.defineProperty(document, 'visibilityState', { value: hidden ? 'hidden' : 'visible', configurable: true });
  document.dispatchEvent(new Event('visibilitychange'));
}
