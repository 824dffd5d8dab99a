// Pixel parity: every pose of poses.h drawn by the desktop GL (Mesa under a
// virtual X display, the native_frames program) and by the web build in
// headless Chromium (the frames module), compared pixel by pixel: at device
// pixel ratio 1, and at 2, where the 800 x 600 window's buffer is 1600 x 1200
// and the native window is drawn at that size.
//
// Thresholds. A pixel matches when no channel differs by more than one
// 8-bit level (rounding of the lighting and of the interpolation); at least
// 99.9 % of the pixels must match. A pixel that does not match is allowed
// only on an edge, where the two rasterisers break ties differently:
// - on a silhouette, where the native frame's 3 x 3 neighbourhood spans at
//   least SILHOUETTE_JUMP levels in some channel (one surface against
//   another or the background): any colour, since a grazing facet may cover
//   the pixel's centre in one frame and no centre at all in the other;
// - on an edge within a surface (a facet or face boundary), only the colour
//   of a native neighbour, within one level: the edge passed the pixel's
//   centre on the other side.
// Anything else fails the pose and writes the browser frame and a diff image
// (grey: match, yellow: silhouette, orange: inner edge, red: failure).
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFile } from 'node:child_process';
import { mkdir, readdir, readFile, writeFile, rm } from 'node:fs/promises';
import { join } from 'node:path';
import { promisify } from 'node:util';
import { openSession, requiredPath } from './harness.mjs';

const SCALES = [1, 2];
let WIDTH; // of the frames being compared
let HEIGHT;
const MATCH_LEVELS = 1;
const MIN_MATCHING = 0.999;
const SILHOUETTE_JUMP = 32;

async function renderNativeFrames(folder) {
  await rm(folder, { recursive: true, force: true });
  await mkdir(folder, { recursive: true });
  // native_frames draws on an X server of its own.
  await promisify(execFile)(requiredPath('BRELOX_NATIVE_FRAMES'), [folder, `${WIDTH}`, `${HEIGHT}`], { timeout: 60_000 });
  return (await readdir(folder)).filter((name) => name.endsWith('.ppm')).sort();
}

function parsePpm(bytes) {
  const header = bytes.subarray(0, 32).toString('latin1').match(/^P6\s+(\d+)\s+(\d+)\s+255\s/);
  assert.ok(header, 'not a binary PPM');
  assert.deepEqual([+header[1], +header[2]], [WIDTH, HEIGHT]);
  return bytes.subarray(header[0].length);
}

const writePpm = (path, rgb) => writeFile(path, Buffer.concat([Buffer.from(`P6\n${WIDTH} ${HEIGHT}\n255\n`), rgb]));

// Draws pose `index` and reads it back in the same task, top row first.
async function browserFrame(page, index) {
  const encoded = await page.evaluate((pose) => {
    if (Module._framesDraw(pose) !== 1) throw new Error(`no pose ${pose}`);
    const gl = document.getElementById('canvas').getContext('webgl2');
    const rgba = new Uint8Array(gl.drawingBufferWidth * gl.drawingBufferHeight * 4);
    gl.readPixels(0, 0, gl.drawingBufferWidth, gl.drawingBufferHeight, gl.RGBA, gl.UNSIGNED_BYTE, rgba);
    let text = '';
    for (let at = 0; at < rgba.length; at += 0x8000) text += String.fromCharCode(...rgba.subarray(at, at + 0x8000));
    return btoa(text);
  }, index);
  const rgba = Buffer.from(encoded, 'base64');
  assert.equal(rgba.length, WIDTH * HEIGHT * 4, `the drawing buffer is not ${WIDTH} x ${HEIGHT}`);
  const rgb = Buffer.alloc(WIDTH * HEIGHT * 3);
  for (let y = 0; y < HEIGHT; ++y)
    for (let x = 0; x < WIDTH; ++x)
      for (let c = 0; c < 3; ++c) rgb[(y * WIDTH + x) * 3 + c] = rgba[((HEIGHT - 1 - y) * WIDTH + x) * 4 + c];
  return rgb;
}

// The widest span of any channel over the native 3 x 3 neighbourhood of
// (x, y), and how close (in levels) the nearest native colour in it comes
// to `colour`.
function neighbourhood(native, x, y, colour) {
  const low = [255, 255, 255];
  const high = [0, 0, 0];
  let nearest = 255;
  for (let ny = Math.max(0, y - 1); ny <= Math.min(HEIGHT - 1, y + 1); ++ny)
    for (let nx = Math.max(0, x - 1); nx <= Math.min(WIDTH - 1, x + 1); ++nx) {
      const at = (ny * WIDTH + nx) * 3;
      let distance = 0;
      for (let c = 0; c < 3; ++c) {
        low[c] = Math.min(low[c], native[at + c]);
        high[c] = Math.max(high[c], native[at + c]);
        distance = Math.max(distance, Math.abs(native[at + c] - colour[c]));
      }
      nearest = Math.min(nearest, distance);
    }
  return { span: Math.max(...high.map((h, c) => h - low[c])), nearest };
}

const GREY = (native) => 192 + ((native[0] + native[1] + native[2]) >> 4);

function compareFrames(native, browser) {
  const diff = Buffer.alloc(native.length);
  const result = { matching: 0, silhouette: 0, innerEdge: 0, failing: 0, worst: 0, firstFailure: null };
  for (let y = 0; y < HEIGHT; ++y)
    for (let x = 0; x < WIDTH; ++x) {
      const at = (y * WIDTH + x) * 3;
      const colour = browser.subarray(at, at + 3);
      let levels = 0;
      for (let c = 0; c < 3; ++c) levels = Math.max(levels, Math.abs(native[at + c] - colour[c]));
      let mark;
      if (levels <= MATCH_LEVELS) {
        result.matching++;
        mark = Array(3).fill(GREY(native.subarray(at, at + 3)));
      } else {
        const { span, nearest } = neighbourhood(native, x, y, colour);
        if (span >= SILHOUETTE_JUMP) {
          result.silhouette++;
          mark = [255, 220, 0];
        } else if (nearest <= MATCH_LEVELS) {
          result.innerEdge++;
          mark = [255, 140, 0];
        } else {
          result.failing++;
          result.worst = Math.max(result.worst, levels);
          result.firstFailure ??= { x, y, native: [...native.subarray(at, at + 3)], browser: [...colour] };
          mark = [255, 0, 0];
        }
      }
      diff.set(mark, at);
    }
  return { ...result, diff };
}

for (const scale of SCALES)
  test(`the browser draws every pose as the native viewer does, device pixel ratio ${scale}`, { timeout: 240_000 }, async (t) => {
    [WIDTH, HEIGHT] = [800 * scale, 600 * scale];
    const out = join(requiredPath('BRELOX_TEST_OUT'), `ratio-${scale}`);
    const nativeFolder = join(out, 'native');
    const [poses, { server, browser }] = await Promise.all([
      renderNativeFrames(nativeFolder),
      openSession(t, requiredPath('BRELOX_FRAMES_DIR')),
    ]);
    const page = await browser.newPage({ viewport: { width: 1000, height: 800 }, deviceScaleFactor: scale });
    await page.goto(`${server.url}frames.html`);
    await page.waitForFunction(() => document.body.dataset.state === 'ready', null, { timeout: 60_000 });
    assert.equal(await page.evaluate(() => Module._framesPoseCount()), poses.length, 'native and web pose tables differ');

    for (const [index, file] of poses.entries()) {
      await t.test(file.replace(/\.ppm$/, ''), async () => {
        const native = parsePpm(await readFile(join(nativeFolder, file)));
        const web = await browserFrame(page, index);
        const result = compareFrames(native, web);
        const share = result.matching / (WIDTH * HEIGHT);
        t.diagnostic(
          `${file}: ${(100 * share).toFixed(3)} % within ${MATCH_LEVELS} level; ` +
            `${result.silhouette} silhouette and ${result.innerEdge} inner-edge pixels differ more`,
        );
        if (result.failing > 0 || share < MIN_MATCHING) {
          const stem = join(out, file.replace(/\.ppm$/, ''));
          await writePpm(`${stem}-browser.ppm`, web);
          await writePpm(`${stem}-diff.ppm`, result.diff);
          assert.fail(
            `${file}: ${result.failing} pixels differ off the edges (worst by ${result.worst} levels, first at ` +
              `${JSON.stringify(result.firstFailure)}), ${(100 * share).toFixed(3)} % match; ` +
              `see ${stem}-browser.ppm and ${stem}-diff.ppm`,
          );
        }
      });
    }
  });
