// The page plays the show: it starts on the click, the show's clock advances and the picture
// moves, the console has the demo's start-up and loader lines in the order the Linux demo prints
// them, WebGL reports no error over a stretch of frames in each style, and the keys 1 2 3 change
// the picture.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { launchBrowser, openPage, serve, waitForState, webRunDir } from './browser.mjs';
import { decodePng, differingShare } from './png.mjs';

const size = { width: 640, height: 360 };
const sourceDir = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../..');
const nativeRunDir = process.env.LUMARQ_RUN_DIR || path.join(sourceDir, 'build/run');

let server, browser, page, lines;
before(async () => {
  server = await serve(webRunDir());
  browser = await launchBrowser();
  ({ page, lines } = await openPage(browser, size));
  await page.goto(server.url);
  assert.equal(await waitForState(page, ['start', 'failed']), 'start', 'the start screen');
  await page.click('#start-button');
  await waitForState(page, ['playing']);
});
after(async () => {
  await browser?.close();
  await server?.close();
});

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const picture = async () => decodePng(await page.screenshot());
const showMs = () => page.evaluate(() => Module._lumarq_show_ms());
async function press(key) {
  await page.keyboard.down(key);
  await sleep(150);  // a few frames, so the show's read after a swap sees it down
  await page.keyboard.up(key);
}
// The WebGL errors raised over `frames` animation frames, read after each (reading clears them;
// the show itself reads them only at start-up).
function errorsOverFrames(frames) {
  return page.evaluate((count) => new Promise((resolve) => {
    const errors = [];
    let left = count;
    const step = () => {
      const error = Module.ctx.getError();
      if (error !== 0) errors.push(error);
      if (--left > 0) requestAnimationFrame(step); else resolve(errors);
    };
    requestAnimationFrame(step);
  }), frames);
}

test('the show time advances and the picture moves', async () => {
  const firstMs = await showMs();
  const first = await picture();
  await sleep(2000);
  const laterMs = await showMs();
  assert.ok(laterMs - firstMs >= 1500, `show time ${firstMs} ms, then ${laterMs} ms two seconds later`);
  assert.ok(differingShare(first, await picture(), 24) > 0.01, 'the picture moved');
});

test('the console has the demo\'s start-up and loader lines in the Linux order', () => {
  // The Linux demo's own lines, up to its frame loop.
  const linux = spawnSync(path.join(sourceDir, 'tests/support/with-xvfb'),
    [path.join(sourceDir, 'tests/support/run-until-escape'), './lumarq-1280x720'],
    { cwd: nativeRunDir, encoding: 'utf8', env: { ...process.env, ALSOFT_DRIVERS: 'null' } });
  assert.equal(linux.status, 0, linux.stderr);
  const demoLine = /^(INIT|END [A-Z ]+): -?\d+$|^Compiling shader : |^Linking program$|^Loading |^Reading /;
  const expected = linux.stdout.split('\n').filter((line) => demoLine.test(line));
  const web = lines.filter((line) => line.type === 'log').map((line) => line.text).filter((line) => demoLine.test(line));
  assert.ok(expected.includes('END MOVE OBJECTS: 0'), linux.stdout);
  assert.deepEqual(web, expected);
});

test('no WebGL error over a stretch of frames in each style', async () => {
  for (const key of ['1', '2', '3']) {
    await press(key);
    assert.deepEqual(await errorsOverFrames(30), [], `style key ${key}`);
  }
  const warnings = lines.filter((line) => /WebGL|GL_INVALID|GL ERROR/i.test(line.text));
  assert.deepEqual(warnings, []);
});

test('the keys 1 2 3 change the picture', async () => {
  // With the free camera ('0') and no input the camera stands still, so what moves between two
  // pictures is the light and the stone; a style changes far more than that. (Pointer lock, which
  // the page asks for with '0', is left out: headless Chromium has no pointer to lock.)
  await page.evaluate(() => { HTMLCanvasElement.prototype.requestPointerLock = () => {}; });
  // The show toggles the camera every frame that reads '0' down, as the demo does: press it until
  // the picture stands still.
  for (let attempt = 0; attempt < 4; ++attempt) {
    await page.keyboard.press('0');
    await sleep(300);
    const still = await picture();
    if (differingShare(still, await picture(), 24) < 0.05) {
      break;
    }
  }
  for (const key of ['2', '3', '1']) {
    const before = await picture();
    const moved = differingShare(before, await picture(), 24);
    await press(key);
    await sleep(300);
    const changed = differingShare(before, await picture(), 24);
    const where = await page.evaluate(() => `page ${document.body.dataset.state}, show time ${Module._lumarq_show_ms()} ms`);
    assert.ok(changed > 0.05 && changed > 2 * moved,
      `key ${key} changed ${(100 * changed).toFixed(1)}% of the picture, the motion alone ` +
      `${(100 * moved).toFixed(1)}% (${where})`);
  }
});
