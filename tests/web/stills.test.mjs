// The page's stills match the Linux capture: index.html?at=MS against lumarq-capture --at MS, at
// the same size, at five show times (the toon style, a hop, the switch to shadows, the shadow style,
// the bump style), by the golden-image test's rule: a pixel differs when its channels together
// move by more than 24, and at most 0.2% of the pixels may differ. That catches a camera pose
// nudged by 0.01 or a toon band moved by 0.02; the contour's ends, drawn as quads on the web and as
// wide lines on Linux, stay well below it at this size.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { test } from 'node:test';
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
