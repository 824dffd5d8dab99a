// The web benchmark: the viewer's page against a floor, the same page and
// clock with a program that only clears and swaps, in Debian's headless
// Chromium. Prints a table and writes bench.json beside the sites.
//   node web-bench.mjs SITE_DIR FLOOR_DIR OUT_JSON
import { readFile, readdir, stat, writeFile } from 'node:fs/promises';
import { basename, extname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { launchChromium, serveFolder } from '../harness.mjs';

const RUNS = 5;
const SECONDS = 4;
const WARM_UP_FRAMES = 30; // the first frames compile shaders

const [siteDir, floorDir, outJson] = process.argv.slice(2);
const probe = await readFile(fileURLToPath(new URL('frame-probe.js', import.meta.url)), 'utf8');

const percentile = (values, p) => {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.floor((p / 100) * sorted.length))];
};
const median = (values) => percentile(values, 50);

// One page load, measured for SECONDS after its first frame.
async function measure(browser, url) {
  const context = await browser.newContext({ viewport: { width: 1280, height: 900 } });
  try {
    const page = await context.newPage();
    await page.addInitScript(probe);
    await page.goto(url);
    await page.waitForFunction(() => window.breloxFrames.length > 0, null, { timeout: 60_000 });
    await page.waitForTimeout(SECONDS * 1000);
    const frames = await page.evaluate(() => window.breloxFrames.slice());
    const steady = frames.slice(WARM_UP_FRAMES);
    const span = (steady.at(-1)[0] - steady[0][0]) / 1000;
    return {
      firstFrameMs: frames[0][2],
      framesPerSecond: (steady.length - 1) / span,
      scriptMs: median(steady.map(([start, returned]) => returned - start)),
      frameMs: median(steady.map(([start, , finished]) => finished - start)),
      frameP95Ms: percentile(steady.map(([start, , finished]) => finished - start), 95),
    };
  } finally {
    await context.close();
  }
}

// The floor module takes the viewer's place on the viewer's own page.
const serveFloor = () =>
  serveFolder(siteDir, { '/brelox.js': join(floorDir, 'floor.js'), '/floor.wasm': join(floorDir, 'floor.wasm') });

async function downloadSizes() {
  const sizes = {};
  for (const name of await readdir(siteDir)) sizes[name] = (await stat(join(siteDir, name))).size;
  const shipped = Object.entries(sizes).filter(([name]) => ['.js', '.wasm', '.html'].includes(extname(name)));
  return { files: sizes, jsWasmHtml: shipped.reduce((sum, [, size]) => sum + size, 0) };
}

const summarise = (runs) =>
  Object.fromEntries(
    Object.keys(runs[0]).map((key) => {
      const values = runs.map((run) => run[key]);
      return [key, { median: median(values), min: Math.min(...values), max: Math.max(...values) }];
    }),
  );

const viewerSite = await serveFolder(siteDir);
const floorSite = await serveFloor();
const browser = await launchChromium();
const runs = { brelox: [], floor: [] };
try {
  for (let run = 0; run < RUNS; ++run) {
    runs.brelox.push(await measure(browser, viewerSite.url));
    runs.floor.push(await measure(browser, floorSite.url));
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
  brelox: summarise(runs.brelox),
  floor: summarise(runs.floor),
  download: await downloadSizes(),
};
await writeFile(outJson, `${JSON.stringify(result, null, 2)}\n`);

const row = (label, key, digits) => {
  const cell = ({ median: m, min, max }) => `${m.toFixed(digits)} (${min.toFixed(digits)}–${max.toFixed(digits)})`;
  return `| ${label} | ${cell(result.brelox[key])} | ${cell(result.floor[key])} |`;
};
const kb = (bytes) => (bytes / 1000).toFixed(1);
console.log(`Chromium ${result.chromium}, SwiftShader WebGL 2; median (min–max) of ${RUNS} runs of ${SECONDS} s\n`);
console.log('| | brelox | floor |\n|---|---|---|');
console.log(row('frames/s', 'framesPerSecond', 1));
console.log(row('script per frame (ms)', 'scriptMs', 3));
console.log(row('frame to GPU done, p50 (ms)', 'frameMs', 3));
console.log(row('frame to GPU done, p95 (ms)', 'frameP95Ms', 3));
console.log(row('navigation to first frame (ms)', 'firstFrameMs', 0));
const { files, jsWasmHtml } = result.download;
console.log(`\nDownload: ${Object.entries(files).map(([name, size]) => `${basename(name)} ${kb(size)} KB`).join(', ')}`);
console.log(`.js + .wasm + .html: ${kb(jsWasmHtml)} KB (target: under 150 KB) — ${jsWasmHtml < 150_000 ? 'met' : 'NOT met'}`);
console.log(`\nWritten: ${outJson}`);
