// The page plays the show, in a browser that holds sound back (browser.mjs, holdSoundBack): the
// start screen comes after a few megabytes, before any texture; a context lost there says nothing
// of music; the keyboard alone starts the show and its music, from one AudioContext (an Escape
// held from the start screen does not end it); a textured style reached before its textures waits
// for them visibly, without magenta, while the style keys still work; the show's clock advances
// and the picture moves, the console has the demo's start-up and loader lines in the order the
// Linux demo prints them, WebGL reports no error over a stretch of frames in each style, the keys
// 1 2 3 change the style and the picture; a context lost in the bump style comes back once its
// textures are uploaded again, one after another (the memory peak of that restore is measured);
// and Escape ends the show while the context is lost.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import path from 'node:path';
import { after, before, test } from 'node:test';
import {
  holdSoundBack, launchBrowser, loudestInTab, openPage, serve, shownText, waitForState, webRunDir,
} from './browser.mjs';
import { decodePng, differingShare } from './png.mjs';

const size = { width: 640, height: 360 };
const sourceDir = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../..');
const nativeRunDir = process.env.LUMARQ_RUN_DIR || path.join(sourceDir, 'build/run');
// What a browser may download before the start screen: the program, the models, the music.
const startBytesLimit = 6e6;
// What a restore in the bump style may add to the memory of the page and its decoder at its peak:
// two decoded 2048x2048 textures (16 MiB each) and the decoder's copy of one more, with room for
// the collector. Decoded all at once, the twelve textures take about 60 MiB.
const restorePeakLimit = 56 * 2 ** 20;

let server, browser, page, lines, bytesBeforeStart;
before(async () => {
  // The textures are held back until the test lets them go.
  server = await serve(webRunDir(), { hold: (file) => file.endsWith('.png'), inject: holdSoundBack });
  browser = await launchBrowser();
  ({ page, lines } = await openPage(browser, size));
  // The textures the page has handed to its decoder and not had back yet, and the most at once.
  await page.evaluateOnNewDocument(() => {
    const post = Worker.prototype.postMessage;
    window.decoding = { now: 0, most: 0 };
    Worker.prototype.postMessage = function (message, ...rest) {
      if (!this.watched) {
        this.watched = true;
        this.addEventListener('message', () => --window.decoding.now);
      }
      window.decoding.most = Math.max(window.decoding.most, ++window.decoding.now);
      return post.call(this, message, ...rest);
    };
  });
  await page.goto(server.url);
  assert.equal(await waitForState(page, ['start', 'failed']), 'start', 'the start screen');
  bytesBeforeStart = server.bytesSent();
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
  // A style whose textures are still on their way draws nothing until they are in.
  await page.waitForFunction(() => document.getElementById('waiting').hidden, { timeout: 60000 });
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

const magentaPixels = (shot) => {
  let count = 0;
  for (let i = 0; i < shot.width * shot.height; ++i) count += shot.rgb.readUIntBE(3 * i, 3) === 0xff00ff ? 1 : 0;
  return count;
};
const focused = () => page.evaluate(() => document.activeElement && document.activeElement.id);

test('the start screen comes after a few megabytes, with no texture yet', (t) => {
  t.diagnostic(`${bytesBeforeStart} bytes before the start screen`);
  assert.ok(bytesBeforeStart <= startBytesLimit, `${bytesBeforeStart} bytes downloaded before the start screen`);
  assert.deepEqual(server.requests.filter((request) => request.path.endsWith('.png')), []);
});

test('a context lost on the start screen says nothing of music, and comes back', async () => {
  await page.evaluate(() => {
    window.loseContext = Module.ctx.getExtension('WEBGL_lose_context');
    window.loseContext.loseContext();
  });
  await page.waitForFunction(() => !document.getElementById('status').hidden, { timeout: 5000 });
  const text = await page.$eval('#status', (line) => line.textContent);
  assert.match(text, /WebGL context was lost\): the picture comes back/);
  assert.doesNotMatch(text, /music/);
  await page.evaluate(() => window.loseContext.restoreContext());
  await page.waitForFunction(() => !Module.ctx.isContextLost() && document.getElementById('status').hidden,
    { timeout: 10000 });
});

test('the keyboard alone starts the show and its music, and an Escape held from the start screen does not end it',
  async (t) => {
  assert.equal(await focused(), 'start-button', 'the start button has the focus');
  await page.evaluate(() => document.getElementById('canvas').focus());  // before the button
  await page.keyboard.press('Tab');
  assert.equal(await focused(), 'start-button', 'Tab brings the focus to the start button');
  await page.keyboard.down('Escape');
  await page.keyboard.press('Enter');
  await waitForState(page, ['playing'], 10000);
  await page.keyboard.down('Escape');  // the held key's repeat
  await sleep(500);
  await page.keyboard.up('Escape');
  await sleep(300);
  assert.equal(await page.evaluate(() => document.body.dataset.state), 'playing');
  assert.ok(await showMs() > 0, 'the show runs');
  assert.equal(await page.evaluate(() => AL.currentCtx.audioCtx.state), 'running', 'the sound runs');
  const rms = await loudestInTab({ evaluate: (...args) => page.evaluate(...args) }, 1500);
  t.diagnostic(`loudest RMS ${rms.toFixed(3)}`);
  assert.ok(rms > 0.01, `loudest RMS ${rms}`);
  assert.equal(await page.evaluate(() => window.audioContexts.filter((context) => context.state !== 'closed').length), 1,
    'AudioContexts open');
});

const waiting = () => page.evaluate(() => !document.getElementById('waiting').hidden);

test('a textured style reached before its textures waits for them, draws no magenta, and takes the style keys',
  async () => {
  await page.keyboard.press('2');
  await page.waitForFunction(() => !document.getElementById('waiting').hidden, { timeout: 10000 });
  assert.match(await shownText(page), /Waiting for the textures/);
  // The toon style needs no texture: its key ends the wait, and the shadow style's begins it again.
  await page.keyboard.press('1');
  await page.waitForFunction(() => document.getElementById('waiting').hidden, { timeout: 5000 });
  assert.equal(await page.evaluate(() => Module._lumarq_style()), 0, 'the toon style');
  const toonMs = await showMs();
  await sleep(500);
  assert.ok(await showMs() > toonMs, 'the show goes on in the toon style');
  await page.keyboard.press('2');
  await page.waitForFunction(() => !document.getElementById('waiting').hidden, { timeout: 5000 });
  const heldMs = await showMs();
  await sleep(1500);
  assert.equal(await showMs(), heldMs, 'the show holds while it waits');
  assert.equal(await page.evaluate(() => AL.currentCtx.audioCtx.state), 'suspended', 'the music holds too');
  assert.equal(magentaPixels(await picture()), 0, 'magenta while waiting');

  server.release();
  await page.waitForFunction(() => document.getElementById('waiting').hidden, { timeout: 60000 });
  await sleep(300);
  assert.equal(await page.evaluate(() => Module._lumarq_style()), 1, 'the shadow style');
  assert.equal(magentaPixels(await picture()), 0, 'magenta once the textures are in');
  assert.ok(await showMs() > heldMs, 'the show goes on');
});

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
  // The page always draws the contour as quads, as the Linux demo does where lines are too thin.
  const expected = linux.stdout.split('\n').filter((line) => demoLine.test(line))
    .map((line) => line === 'Compiling shader : Wireframe.vertexshader'
      ? 'Compiling shader : OutlineQuads.vertexshader' : line);
  // Up to the frame loop: a context lost since then was made again with lines of its own.
  const web = lines.filter((line) => line.type === 'log').map((line) => line.text).filter((line) => demoLine.test(line));
  web.splice(web.indexOf('END MOVE OBJECTS: 0') + 1);
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

test('the keys 1 2 3 change the style and the picture', async () => {
  // Toon shading paints flat bands; the textured styles thousands of colours.
  const colours = (shot) => {
    const seen = new Set();
    for (let i = 0; i < shot.width * shot.height; ++i) seen.add(shot.rgb.readUIntBE(3 * i, 3));
    return seen.size;
  };
  let previous = await picture();
  for (const [key, style] of [['2', 1], ['3', 2], ['1', 0]]) {
    await press(key);
    await sleep(300);
    assert.equal(await page.evaluate(() => Module._lumarq_style()), style, `the style after key ${key}`);
    const now = await picture();
    const change = differingShare(previous, now, 24);
    assert.ok(change > 0.05, `key ${key} changed ${(100 * change).toFixed(1)}% of the picture`);
    if (key === '1') {
      assert.ok(colours(now) < 300 && colours(previous) > 1000,
        `toon ${colours(now)} colours, bump before it ${colours(previous)}`);
    }
    previous = now;
  }
});

// The bytes of the page's and its decoder's JavaScript heaps and array buffers, live ones only
// (each collected first), and of the program's wasm memory.
async function memory() {
  let heaps = 0;
  for (const client of [await page.createCDPSession(), ...page.workers().map((worker) => worker.client)]) {
    await client.send('HeapProfiler.collectGarbage');
    const usage = await client.send('Runtime.getHeapUsage');
    assert.ok(usage.backingStorageSize !== undefined, 'Chromium reports the array buffers\' bytes');
    heaps += usage.usedSize + usage.backingStorageSize;
  }
  return { heaps, wasm: await page.evaluate(() => HEAP8.length) };
}

test('a context lost in the bump style waits while its textures are prepared again one after another, ' +
  'with no magenta', async (t) => {
  await press('3');
  await page.waitForFunction(() => Module.lumarqTextures.share() === 1, { timeout: 60000 });
  await page.waitForFunction(() => document.getElementById('waiting').hidden, { timeout: 60000 });
  const before = await memory();
  await page.evaluate(() => {
    window.decoding.most = 0;
    window.loseContext = Module.ctx.getExtension('WEBGL_lose_context');
    window.loseContext.loseContext();
  });
  await page.waitForFunction(() => Module.ctx.isContextLost(), { timeout: 5000 });
  await page.evaluate(() => window.loseContext.restoreContext());
  // Every byte arrived long ago: what is left is decoding and uploading, which a share cannot show.
  await page.waitForFunction(() => !document.getElementById('waiting').hidden, { timeout: 10000 });
  const line = await page.$eval('#waiting', (element) => element.textContent);
  assert.equal(line, 'Preparing the textures…');
  assert.equal(magentaPixels(await picture()), 0, 'magenta while the textures are prepared');
  let peak = before;
  while (await waiting()) {
    const now = await memory();
    peak = { heaps: Math.max(peak.heaps, now.heaps), wasm: Math.max(peak.wasm, now.wasm) };
  }
  const mib = (bytes) => (bytes / 2 ** 20).toFixed(1);
  t.diagnostic(`restore: heaps ${mib(before.heaps)} MiB before, ${mib(peak.heaps)} MiB at the peak; ` +
    `wasm memory ${mib(before.wasm)} MiB, ${mib(peak.wasm)} MiB at the peak`);
  assert.ok(peak.heaps - before.heaps <= restorePeakLimit,
    `the restore took ${mib(peak.heaps - before.heaps)} MiB more at its peak`);
  // One decoding while the one before it is uploaded, never more.
  assert.ok(await page.evaluate(() => window.decoding.most) <= 2,
    `${await page.evaluate(() => window.decoding.most)} textures were decoding at once`);
  const heldMs = await showMs();
  await sleep(500);
  assert.equal(magentaPixels(await picture()), 0, 'magenta once the textures are back');
  // The show follows its music, whose output starts again first: on a busy machine that can take
  // longer than the half second above.
  await page.waitForFunction((held) => Module._lumarq_show_ms() > held, { timeout: 5000, polling: 100 }, heldMs)
    .catch(() => assert.fail('the show does not go on'));
});

test('Escape ends the show while its context is lost', async () => {
  await page.evaluate(() => window.loseContext.loseContext());
  await page.waitForFunction(() => Module.ctx.isContextLost(), { timeout: 5000 });
  await page.keyboard.press('Escape');
  await waitForState(page, ['ended'], 5000);
  await page.evaluate(() => window.loseContext.restoreContext());
  await page.waitForFunction(() => !Module.ctx.isContextLost() && document.getElementById('status').hidden,
    { timeout: 10000 });
  assert.equal(await page.evaluate(() => document.body.dataset.state), 'ended');
});
