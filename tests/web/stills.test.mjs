// The page's stills match the Linux capture: index.html?at=MS against lumarq-capture --at MS, at
// the same size, at five show times (the toon style, a hop, the switch to shadows, the shadow style,
// the bump style); at twice the pixel density, against the capture at twice the size; resized to
// that size, and again once its lost WebGL context came back; and in a viewport turned to portrait
// while the program compiled, whose 16:9 band across the middle is the capture's 16:9 frame. All
// by the
// golden-image test's rule: a pixel differs when its channels together
// move by more than 24, and at most 0.2% of the pixels may differ. That catches a camera pose
// nudged by 0.01 or a toon band moved by 0.02; the contour's ends, drawn as quads on the web and as
// wide lines on Linux, stay well below it at this size.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { test } from 'node:test';
import { launchBrowser, openPage, serve, waitForState, webRunDir } from './browser.mjs';
import { decodePng, differingShare } from './png.mjs';

const times = [5000, 10600, 29240, 38000, 60000];
const size = '640x360';
const pixelThreshold = 24;
const differingLimit = 0.002;
const here = path.dirname(new URL(import.meta.url).pathname);
const nativeRunDir = process.env.LUMARQ_RUN_DIR || path.resolve(here, '../../build/run');

test('the page\'s stills match the Linux capture', async (t) => {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'lumarq-web-stills-'));
  try {
    const linux = spawnSync(path.resolve(here, '../support/with-xvfb'),
      ['./lumarq-capture', '--size', size, '--at', times.join(','), '--out', path.join(dir, 'linux')],
      { cwd: nativeRunDir, encoding: 'utf8', env: { ...process.env, LIBGL_ALWAYS_SOFTWARE: '1' } });
    assert.equal(linux.status, 0, linux.stderr);
    const web = spawnSync(process.execPath, [path.join(here, 'web-capture.mjs'), '--size', size,
      '--at', times.join(','), '--out', path.join(dir, 'web')], { encoding: 'utf8' });
    assert.equal(web.status, 0, web.stderr);
    for (const time of times) {
      const share = differingShare(decodePng(fs.readFileSync(path.join(dir, 'web', `frame-${time}.png`))),
        decodePng(fs.readFileSync(path.join(dir, 'linux', `frame-${time}.png`))), pixelThreshold);
      t.diagnostic(`${time} ms: ${(100 * share).toFixed(3)}% of the pixels differ`);
      assert.ok(share <= differingLimit, `${time} ms: ${(100 * share).toFixed(3)}% of the pixels differ`);
    }
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
});

// The rows `top` to `top + height` of a decoded picture.
function band(picture, top, height) {
  const rowBytes = 3 * picture.width;
  return { width: picture.width, height, rgb: picture.rgb.subarray(top * rowBytes, (top + height) * rowBytes) };
}

test('at twice the density, resized, restored, and turned to portrait, the page shows the capture\'s frame',
  async (t) => {
  const time = 38000;  // the shadow style: every texture and the shadow map
  const portrait = { width: 384, height: 684, frame: 216 };  // the frame's band: (684 - 216) / 2 down
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'lumarq-web-density-'));
  const server = await serve(webRunDir());
  const browser = await launchBrowser();
  try {
    const linux = {};
    for (const size of ['1280x720', `${portrait.width}x${portrait.frame}`]) {
      const capture = spawnSync(path.resolve(here, '../support/with-xvfb'),
        ['./lumarq-capture', '--size', size, '--at', String(time), '--out', path.join(dir, size)],
        { cwd: nativeRunDir, encoding: 'utf8', env: { ...process.env, LIBGL_ALWAYS_SOFTWARE: '1' } });
      assert.equal(capture.status, 0, capture.stderr);
      linux[size] = decodePng(fs.readFileSync(path.join(dir, size, `frame-${time}.png`)));
    }
    // The still at `viewport`; `whileCompiling(page)` runs while the program compiles.
    const still = async (viewport, whileCompiling = async () => {}) => {
      const { page } = await openPage(browser, viewport);
      await page.evaluateOnNewDocument(() => {
        const instantiate = WebAssembly.instantiate;
        const compiled = new Promise((resolve) => { window.compile = resolve; });
        WebAssembly.instantiate = (...args) => {
          window.compiling = true;
          return compiled.then(() => instantiate(...args));
        };
      });
      await page.goto(`${server.url}index.html?at=${time}`);
      await page.waitForFunction(() => window.compiling, { timeout: 60000 });
      await whileCompiling(page);
      await page.evaluate(() => window.compile());
      assert.equal(await waitForState(page, ['still', 'failed']), 'still');
      return page;
    };
    const compare = (what, shot, capture) => {
      const share = differingShare(shot, capture, pixelThreshold);
      t.diagnostic(`${what}: ${(100 * share).toFixed(3)}% of the pixels differ`);
      assert.ok(share <= differingLimit, `${what}: ${(100 * share).toFixed(3)}% differ`);
    };
    // A still drawn again: the screenshot once it is a drawn frame of `capture`'s size.
    const redrawn = async (page, capture) => {
      for (let tries = 0; ; ++tries) {
        const shot = decodePng(await page.screenshot());
        if (shot.width === capture.width && differingShare(shot, capture, pixelThreshold) <= differingLimit) return shot;
        if (tries === 100) return shot;
        await new Promise((resolve) => setTimeout(resolve, 100));
      }
    };
    const densePage = await still({ width: 640, height: 360, scale: 2 });
    const dense = decodePng(await densePage.screenshot());
    await densePage.close();
    assert.deepEqual([dense.width, dense.height], [1280, 720]);
    compare('twice the density', dense, linux['1280x720']);

    const resizedPage = await still({ width: 640, height: 360 });
    await resizedPage.setViewport({ width: 1280, height: 720 });
    compare('resized', await redrawn(resizedPage, linux['1280x720']), linux['1280x720']);
    await resizedPage.evaluate(() => {
      window.loseContext = Module.ctx.getExtension('WEBGL_lose_context');
      window.loseContext.loseContext();
    });
    await resizedPage.waitForFunction(() => Module.ctx.isContextLost(), { timeout: 5000 });
    await resizedPage.evaluate(() => window.loseContext.restoreContext());
    await resizedPage.waitForFunction(() => !Module.ctx.isContextLost(), { timeout: 5000 });
    compare('restored', await redrawn(resizedPage, linux['1280x720']), linux['1280x720']);
    await resizedPage.close();

    const tallPage = await still({ width: portrait.height, height: portrait.width },
      (page) => page.setViewport({ width: portrait.width, height: portrait.height }));
    const tall = decodePng(await tallPage.screenshot());
    await tallPage.close();
    const top = (portrait.height - portrait.frame) / 2;
    compare('turned to portrait', band(tall, top, portrait.frame), linux[`${portrait.width}x${portrait.frame}`]);
    // Above and below the frame, the page's black.
    const bars = [band(tall, 0, top), band(tall, top + portrait.frame, top)];
    assert.ok(bars.every((bar) => bar.rgb.every((byte) => byte === 0)), 'black above and below the frame');
  } finally {
    await browser.close();
    await server.close();
    fs.rmSync(dir, { recursive: true, force: true });
  }
});
