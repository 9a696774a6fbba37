// The web release package: dist/lumarq-<version>-web.zip unpacked into a fresh folder and served
// from there plays its first frame, and holds only the one folder with its README.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { test } from 'node:test';
import { launchBrowser, openPage, serve, waitForState } from './browser.mjs';
import { decodePng } from './png.mjs';

const sourceDir = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../..');
const distDir = process.env.LUMARQ_DIST_DIR || path.join(sourceDir, 'dist');
const version = process.env.LUMARQ_VERSION;

test('the web package, unpacked and served, plays its first frame', async () => {
  const zip = path.join(distDir, `lumarq-${version}-web.zip`);
  assert.ok(fs.existsSync(zip), `${zip} (scripts/release makes it)`);
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'lumarq-web-release-'));
  const browser = await launchBrowser();
  let server;
  try {
    const unpacked = spawnSync('unzip', ['-q', zip, '-d', dir], { encoding: 'utf8' });
    assert.equal(unpacked.status, 0, unpacked.stderr);
    assert.deepEqual(fs.readdirSync(dir), [`lumarq-${version}-web`]);
    const folder = path.join(dir, `lumarq-${version}-web`);
    assert.match(fs.readFileSync(path.join(folder, 'README.txt'), 'utf8'), /python3 -m http\.server/);

    server = await serve(folder);
    const { page } = await openPage(browser, { width: 480, height: 270 });
    await page.goto(server.url);
    assert.equal(await waitForState(page, ['start', 'failed']), 'start');
    await page.click('#start-button');
    await page.waitForFunction(() => Module._lumarq_show_ms() > 500, { timeout: 60000 });
    // A drawn frame: the scene's colours over most of it, not the white it is cleared to.
    const shot = decodePng(await page.screenshot());
    let drawn = 0;
    const colours = new Set();
    for (let i = 0; i < shot.width * shot.height; ++i) {
      const colour = shot.rgb.readUIntBE(3 * i, 3);
      colours.add(colour);
      drawn += colour !== 0xffffff ? 1 : 0;
    }
    assert.ok(drawn > 0.5 * shot.width * shot.height && colours.size >= 3,
      `${drawn} of ${shot.width * shot.height} pixels drawn, in ${colours.size} colours`);
    assert.ok(server.requests.every((request) => request.status === 200),
      JSON.stringify(server.requests.filter((request) => request.status !== 200)));
  } finally {
    await browser.close();
    await server?.close();
    fs.rmSync(dir, { recursive: true, force: true });
  }
});
