// What the playing page draws that its stills do not pin: "Play again" shows the first play's
// picture at the same show time, the light and the stone (which move outside the timeline)
// included; and the contour keeps its look at every size, 5 pixels in 720 rows of drawing buffer,
// measured at 360 and 1080 rows.
import assert from 'node:assert/strict';
import { execFile } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { promisify } from 'node:util';
import { after, before, test } from 'node:test';
import { launchBrowser, openPage, serve, waitForState, webRunDir } from './browser.mjs';
import { decodePng, differingShare } from './png.mjs';

// The stills' rule (stills.test.mjs): a pixel differs when its channels together move by more
// than 24; at most 0.2% of the pixels may differ.
const pixelThreshold = 24;
const differingLimit = 0.002;
const here = path.dirname(new URL(import.meta.url).pathname);
const nativeRunDir = process.env.LUMARQ_RUN_DIR || path.resolve(here, '../../build/run');

// The page that plays the show twice, at 360 rows; the contour is measured on it too.
const playSize = { width: 640, height: 360 };
let server, browser, played;
before(async () => {
  server = await serve(webRunDir());
  browser = await launchBrowser();
});
after(async () => {
  await browser?.close();
  await server?.close();
});

// The page's clock (performance.now, which the program's tick and seconds read) taken over by the
// test: it stands still between animation frames, and moves stepMs once a frame while the show is
// before untilShowMs, so that the show reaches that time exactly and holds there, light and all.
// Without Web Audio the show has no music to follow and runs on this clock alone.
function holdThePageClock(stepMs) {
  delete window.AudioContext;
  delete window.webkitAudioContext;
  let now = 1000;
  let lastFrame = null;
  const clock = { untilShowMs: 0 };
  window.lumarqClock = clock;
  performance.now = () => now;
  const request = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = (callback) => request((stamp) => {
    if (stamp !== lastFrame) {
      lastFrame = stamp;
      if (document.body.dataset.state === 'playing' && Module._lumarq_show_ms() < clock.untilShowMs) now += stepMs;
    }
    callback(now);
  });
}

// A page on the held clock at its start screen.
async function openHeldPage(viewport, stepMs = 0) {
  const { page, lines } = await openPage(browser, viewport);
  await page.evaluateOnNewDocument(holdThePageClock, stepMs);
  await page.goto(server.url);
  assert.equal(await waitForState(page, ['start', 'failed']), 'start', lines.map((line) => line.text).join('\n'));
  return page;
}

// The picture once the show has drawn at least one frame more.
async function shotOfTheNextFrame(page, name) {
  await page.evaluate(() => new Promise((drawn) => requestAnimationFrame(() => requestAnimationFrame(drawn))));
  const shot = await page.screenshot();
  if (process.env.LUMARQ_SNAPSHOT_DIR) {
    fs.writeFileSync(path.join(process.env.LUMARQ_SNAPSHOT_DIR, `${name}.png`), shot);
  }
  return decodePng(shot);
}

// In the toon style, while the bands follow the light: at 17 s it is half way back along its
// sweep, so that a play that kept the first play's light, or its direction, shows it units away,
// and the stone, in view, has turned half round.
test('Play again shows the first play\'s picture at the same show time', async (t) => {
  const atMs = 17000;
  const stepMs = 1000;  // a second of show a frame: the plays take seconds
  const page = played = await openHeldPage(playSize, stepMs);
  // The buttons clicked by script: the page's own handlers run, as for a viewer's click.
  const playTo = async (button) => {
    await page.evaluate((ms) => { window.lumarqClock.untilShowMs = ms; }, atMs);
    await page.evaluate((id) => document.getElementById(id).click(), button);
    await page.waitForFunction((ms) => Module._lumarq_show_ms() >= ms, { timeout: 60000, polling: 100 }, atMs);
    assert.equal(await page.evaluate(() => Module._lumarq_show_ms()), atMs, 'the show holds at the time asked for');
    return shotOfTheNextFrame(page, `play-${button}-${atMs}`);
  };
  const first = await playTo('start-button');
  assert.equal(await page.evaluate(() => Module._lumarq_style()), 0, 'the toon style');
  await page.keyboard.press('Escape');
  assert.equal(await waitForState(page, ['ended'], 10000), 'ended');
  const again = await playTo('again-button');
  const share = differingShare(first, again, pixelThreshold);
  t.diagnostic(`${(100 * share).toFixed(3)}% of the pixels differ at ${atMs} ms`);
  assert.ok(share <= differingLimit, `${(100 * share).toFixed(3)}% of the pixels differ at ${atMs} ms`);
});

// The contour's ink: its one colour (shader/Wireframe.fragmentshader), which the toon style's
// flat bands never take.
const inkPixels = (shot) => {
  let count = 0;
  for (let i = 0; i < shot.width * shot.height; ++i) count += shot.rgb.readUIntBE(3 * i, 3) === 0x0d0d17 ? 1 : 0;
  return count;
};

// Measured against a ruler: the Linux capture of the same frame at the same size, its contour drawn
// as quads 5 pixels wide at every size. Of a stroke w pixels wide, w/2 shows beyond a silhouette,
// so the ink of the same frame grows as w: the page's width is 5 pixels times its ink over the
// ruler's. The page's frame is the playing show's, sought to a toon moment full of contour (a seek
// steps the show there as the capture does): on the page that played it twice, at 360 rows, and on
// a density-2 screen's 960x540, at 1080.
test('the playing page\'s contour is 5 pixels wide per 720 rows, at 360 and at 1080 rows', async (t) => {
  const atMs = 10600;
  const rulerWidth = 5;
  // Measured within 5% at both sizes; a page that forgets the scale is off by a third or more.
  const widthTolerance = 0.15;
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'lumarq-web-look-'));
  const ruler = async (size) => {
    await promisify(execFile)(path.resolve(here, '../support/with-xvfb'),
      ['./lumarq-capture', '--size', size, '--at', String(atMs), '--quad-contours', '--out', path.join(dir, size)],
      { cwd: nativeRunDir, env: { ...process.env, LIBGL_ALWAYS_SOFTWARE: '1' } });
    return decodePng(fs.readFileSync(path.join(dir, size, `frame-${atMs}.png`)));
  };
  // The captures run while the pages draw.
  const rulers = { '640x360': ruler('640x360'), '1920x1080': ruler('1920x1080') };
  const measure = async (page) => {
    if (await page.evaluate(() => document.body.dataset.state) !== 'playing') {
      await page.evaluate(() => document.getElementById('start-button').click());
    }
    await page.evaluate((ms) => { window.lumarqClock.untilShowMs = 0; Module._lumarq_seek(ms); }, atMs);
    const { height, deviceScaleFactor } = page.viewport();
    const shown = await shotOfTheNextFrame(page, `contour-${atMs}-${height * deviceScaleFactor}`);
    assert.equal(await page.evaluate(() => Module._lumarq_show_ms()), atMs);
    await page.close();  // a page behind another gets no animation frames
    const size = `${shown.width}x${shown.height}`;
    const width = rulerWidth * inkPixels(shown) / inkPixels(await rulers[size]);
    const expected = rulerWidth * shown.height / 720;
    t.diagnostic(`${size}: the contour is ${width.toFixed(2)} pixels wide, ${expected} expected`);
    assert.ok(Math.abs(width - expected) <= widthTolerance * expected,
      `${size}: the contour is ${width.toFixed(2)} pixels wide, not ${expected}`);
  };
  try {
    await measure(played ?? await openHeldPage(playSize));
    await measure(await openHeldPage({ width: 960, height: 540, scale: 2 }));
  } finally {
    await Promise.allSettled(Object.values(rulers));
    fs.rmSync(dir, { recursive: true, force: true });
  }
});
