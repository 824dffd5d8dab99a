// The web benchmark: the viewer's page against a floor, the same page and
// clock with a program that only clears and swaps, in Debian's headless
// Chromium, on a desktop screen, at device pixel ratio 2 and on an emulated
// phone. Prints the tables and writes bench.json beside the sites.
//   node web-bench.mjs SITE_DIR FLOOR_DIR OUT_JSON
import { readFile, readdir, stat, writeFile } from 'node:fs/promises';
import { basename, extname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { launchChromium, serveFolder } from '../harness.mjs';

const RUNS = 5;
const SECONDS = 4;
const WARM_UP_MS = 1000; // the first frames compile shaders
const TICKS_PER_SECOND = 100; // of /proc/PID/stat's CPU times (USER_HZ)
const MAX_CPU_RATIO = 1.5; // the viewer's browser CPU per frame over the floor's, on every screen
const MAX_DOWNLOAD = 60_000; // .js + .wasm + .html, bytes
// The page and its code; the service worker and the manifest are listed beside them.
const shipped = (name) => name !== 'service-worker.js' && ['.js', '.wasm', '.html'].includes(extname(name));
const DESKTOP = { viewport: { width: 1280, height: 900 } };
const SCREENS = {
  desktop: DESKTOP,
  'DPR 2': { ...DESKTOP, deviceScaleFactor: 2 },
  phone: { isMobile: true, hasTouch: true, deviceScaleFactor: 3, viewport: { width: 390, height: 844 } },
};

const [siteDir, floorDir, outJson] = process.argv.slice(2);
const probe = await readFile(fileURLToPath(new URL('frame-probe.js', import.meta.url)), 'utf8');

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const mean = (values) => values.reduce((sum, v) => sum + v, 0) / values.length;

// CPU seconds used so far by this process's descendants: every Chromium
// process, the GPU process where SwiftShader draws included.
async function browserCpuSeconds() {
  const root = process.pid;
  const stats = [];
  for (const pid of (await readdir('/proc')).filter((name) => /^\d+$/.test(name))) {
    try {
      const fields = (await readFile(`/proc/${pid}/stat`, 'utf8')).replace(/^.*\) /, '').split(' ');
      stats.push({ pid: +pid, parent: +fields[1], ticks: +fields[11] + +fields[12] });
    } catch {} // ended meanwhile
  }
  const tree = new Set([root]);
  for (let grown = true; grown; ) {
    grown = false;
    for (const { pid, parent } of stats)
      if (tree.has(parent) && !tree.has(pid)) grown = tree.add(pid);
  }
  const browserTicks = stats.filter(({ pid }) => pid !== root && tree.has(pid)).map(({ ticks }) => ticks);
  return browserTicks.reduce((sum, ticks) => sum + ticks, 0) / TICKS_PER_SECOND;
}

// One page load, measured over SECONDS after a warm-up from its first frame.
async function measure(browser, url, screen) {
  const context = await browser.newContext(screen);
  try {
    const page = await context.newPage();
    await page.addInitScript(probe);
    await page.goto(url);
    await page.waitForFunction(() => window.breloxFrames.length > 0, null, { timeout: 60_000 });
    await page.waitForTimeout(WARM_UP_MS);
    const count = () => page.evaluate(() => window.breloxFrames.length);
    const [framesBefore, cpuBefore] = [await count(), await browserCpuSeconds()];
    await page.waitForTimeout(SECONDS * 1000);
    const cpuAfter = await browserCpuSeconds();
    const frames = await page.evaluate(() => window.breloxFrames.slice());
    const buffer = await page.evaluate(() => { const c = document.getElementById('canvas'); return `${c.width} x ${c.height}`; });
    const steady = frames.slice(framesBefore);
    const intervals = steady.slice(1).map(([start], i) => start - steady[i][0]);
    return {
      framesPerSecond: 1000 / mean(intervals),
      intervalP50Ms: median(intervals),
      scriptMs: mean(steady.map(([start, end]) => end - start)),
      cpuMs: (1000 * (cpuAfter - cpuBefore)) / (frames.length - framesBefore),
      firstFrameMs: frames[0][1],
      buffer,
    };
  } finally {
    await context.close();
  }
}

// The floor module takes the viewer's place on the viewer's own page.
const serveFloor = () =>
  serveFolder(siteDir, { '/brelox.js': join(floorDir, 'floor.js'), '/brelox.wasm': join(floorDir, 'floor.wasm') });

async function downloadSizes() {
  const sizes = {};
  for (const name of await readdir(siteDir)) sizes[name] = (await stat(join(siteDir, name))).size;
  const counted = Object.entries(sizes).filter(([name]) => shipped(name));
  return { files: sizes, jsWasmHtml: counted.reduce((sum, [, size]) => sum + size, 0) };
}

const summarise = (runs) =>
  Object.fromEntries(
    Object.keys(runs[0]).map((key) => {
      const values = runs.map((run) => run[key]);
      if (typeof values[0] === 'string') return [key, values[0]];
      return [key, { median: median(values), min: Math.min(...values), max: Math.max(...values) }];
    }),
  );

const viewerSite = await serveFolder(siteDir);
const floorSite = await serveFloor();
const browser = await launchChromium();
const runs = Object.fromEntries(Object.keys(SCREENS).map((name) => [name, { brelox: [], floor: [] }]));
try {
  for (let run = 0; run < RUNS; ++run)
    for (const [name, screen] of Object.entries(SCREENS)) {
      runs[name].brelox.push(await measure(browser, viewerSite.url, screen));
      runs[name].floor.push(await measure(browser, floorSite.url, screen));
    }
} finally {
  await browser.close();
  await viewerSite.close();
  await floorSite.close();
}

const result = {
  chromium: browser.version(),
  runs: RUNS,
  secondsPerRun: SECONDS,
  screens: Object.fromEntries(
    Object.entries(runs).map(([name, { brelox, floor }]) => [name, { brelox: summarise(brelox), floor: summarise(floor) }]),
  ),
  download: await downloadSizes(),
};
await writeFile(outJson, `${JSON.stringify(result, null, 2)}\n`);

const row = (label, key, digits) => {
  const cell = ({ median: m, min, max }) => `${m.toFixed(digits)} (${min.toFixed(digits)}–${max.toFixed(digits)})`;
  const { brelox, floor } = result.screens.desktop;
  return `| ${label} | ${cell(brelox[key])} | ${cell(floor[key])} |`;
};
const kb = (bytes) => (bytes / 1000).toFixed(1);
console.log(`Chromium ${result.chromium}, SwiftShader WebGL 2; median (min–max) of ${RUNS} runs of ${SECONDS} s\n`);
console.log('| | brelox | floor |\n|---|---|---|');
console.log(row('frames/s', 'framesPerSecond', 1));
console.log(row('frame interval p50 (ms)', 'intervalP50Ms', 1));
console.log(row('script per frame, mean (ms)', 'scriptMs', 3));
console.log(row('browser CPU per frame (ms)', 'cpuMs', 2));
console.log(row('navigation to first frame (ms)', 'firstFrameMs', 0));

console.log('\n| screen | drawing buffer | brelox frames/s | floor frames/s | brelox CPU per frame (ms) | floor CPU per frame (ms) | brelox / floor |');
console.log('|---|---|---|---|---|---|---|');
const verdicts = [];
for (const [name, { brelox, floor }] of Object.entries(result.screens)) {
  const ratio = brelox.cpuMs.median / floor.cpuMs.median;
  const cells = [brelox.framesPerSecond, floor.framesPerSecond].map(({ median: m }) => m.toFixed(1));
  const cpu = [brelox.cpuMs, floor.cpuMs].map(({ median: m }) => m.toFixed(2));
  console.log(`| ${name} | ${brelox.buffer} | ${cells.join(' | ')} | ${cpu.join(' | ')} | ${ratio.toFixed(2)} |`);
  verdicts.push(`${name}: browser CPU per frame ${ratio.toFixed(2)} x the floor's (target: within ${MAX_CPU_RATIO} x): ` +
    (ratio <= MAX_CPU_RATIO ? 'met' : 'NOT met'));
}
console.log(`\n${verdicts.join('\n')}`);
const { files, jsWasmHtml } = result.download;
const listing = (keep) =>
  Object.entries(files).filter(([name]) => keep(name)).map(([name, size]) => `${basename(name)} ${kb(size)} KB`).join(', ');
console.log(`\nDownload: ${listing(shipped)}; besides them: ${listing((name) => !shipped(name))}`);
const verdict = jsWasmHtml < MAX_DOWNLOAD ? 'met' : 'NOT met';
console.log(`.js + .wasm + .html: ${kb(jsWasmHtml)} KB (target: under ${kb(MAX_DOWNLOAD)} KB): ${verdict}`);
console.log(`\nWritten: ${outJson}`);
