// Whether the show works in a browser engine (LUMARQ_WEB_ENGINE: firefox or webkit; chromium runs
// the whole web suite instead), one browser and one tab walking the steps: the page's stills match
// the Linux capture; a keyboard start plays the music in a browser that holds sound back (each
// AudioContext suspended until resume() is called within a gesture), with one AudioContext; a lost
// WebGL context comes back (skipped where the engine has no WEBGL_lose_context); the show reaches
// its end screen; and a click start plays the music, until a texture that cannot be downloaded
// stops the show and its music with a message and Reload, which Escape does not take away.
// LUMARQ_WEB_SHOTS=DIR keeps a screenshot of each step there, for looking at by eye.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { holdSoundBack, launchEngine, loudestInTab, serve, waitInTab, webRunDir } from './browser.mjs';
import { decodePng, differingShare, notADrawnFrame } from './png.mjs';

const engine = process.env.LUMARQ_WEB_ENGINE || 'firefox';
const shots = process.env.LUMARQ_WEB_SHOTS;
const here = path.dirname(new URL(import.meta.url).pathname);
const nativeRunDir = process.env.LUMARQ_RUN_DIR || path.resolve(here, '../../build/run');
const size = { width: 640, height: 360 };
// The stills test's rule (stills.test.mjs): a pixel differs by more than 24 over its channels,
// at most 0.2% of them; at the toon style, the shadow style and the bump style.
const stillTimes = [5000, 38000, 60000];
const pixelThreshold = 24;
const differingLimit = 0.002;
// The music heard: the loudest RMS over a second and a half of it.
const heardRms = 0.01;

let server, browser, tab;
let spoiling = false;  // a texture answered 404, as a server that lost it
let holding = false;   // the textures held back until release()
before(async () => {
  server = await serve(webRunDir(), {
    inject: holdSoundBack,
    // Firefox's page stops answering while a held answer trickles in; the hold here lasts well
    // within the page's 20 s before a download counts as stalled.
    hold: (file) => holding && file.endsWith('.png'),
    heldByteMs: 0,
    spoil: (file) => (spoiling && file === '/models/ground_diffuse.png'
      ? { status: 404, type: 'text/plain', body: 'not found' } : null),
  });
  browser = await launchEngine(engine);
  tab = await browser.open(size);
  if (shots) fs.mkdirSync(shots, { recursive: true });
});
after(async () => {
  await browser?.close();
  await server?.close();
});

const state = () => tab.evaluate(() => document.body.dataset.state);
const waitForState = (states, timeoutMs = 120000) =>
  waitInTab(tab, (wanted) => wanted.includes(document.body.dataset.state), states, timeoutMs, `one of ${states}`);
const shownText = () => tab.evaluate(() => [...document.querySelectorAll('.screen, .status')]
  .filter((element) => !element.hidden).map((element) => element.innerText).join('\n'));
async function screenshot(name) {
  const shot = await tab.screenshot();
  if (shots) fs.writeFileSync(path.join(shots, `${engine}-${name}.png`), shot);
  return decodePng(shot);
}

test('the stills match the Linux capture', async (t) => {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'lumarq-engine-stills-'));
  try {
    const linux = spawnSync(path.resolve(here, '../support/with-xvfb'),
      ['./lumarq-capture', '--size', `${size.width}x${size.height}`, '--at', stillTimes.join(','), '--out', dir],
      { cwd: nativeRunDir, encoding: 'utf8', env: { ...process.env, LIBGL_ALWAYS_SOFTWARE: '1' } });
    assert.equal(linux.status, 0, linux.stderr);
    for (const time of stillTimes) {
      await tab.goto(`${server.url}index.html?at=${time}`);
      await waitForState(['still', 'failed']);
      assert.equal(await state(), 'still', await shownText());
      const share = differingShare(await screenshot(`still-${time}`),
        decodePng(fs.readFileSync(path.join(dir, `frame-${time}.png`))), pixelThreshold);
      t.diagnostic(`${time} ms: ${(100 * share).toFixed(3)}% of the pixels differ`);
      assert.ok(share <= differingLimit, `${time} ms: ${(100 * share).toFixed(3)}% of the pixels differ`);
    }
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
});

test('a keyboard start plays the music, from one AudioContext', async (t) => {
  await tab.goto(server.url);
  await waitForState(['start', 'failed']);
  assert.equal(await state(), 'start', await shownText());
  await screenshot('start');
  assert.equal(await tab.evaluate(() => document.activeElement.id), 'start-button');
  await tab.press('Enter');
  await waitForState(['playing'], 10000);
  await waitInTab(tab, () => Module.lumarqAudioContext().state === 'running', null, 15000, 'the sound to run');
  const rms = await loudestInTab(tab, 1500);
  t.diagnostic(`loudest RMS ${rms.toFixed(3)}`);
  assert.ok(rms > heardRms, `loudest RMS ${rms}`);
  assert.equal(await tab.evaluate(() => window.audioContexts.filter((context) => context.state !== 'closed').length), 1,
    'AudioContexts open');
  const notDrawn = notADrawnFrame(await screenshot('playing'));
  assert.equal(notDrawn, '', notDrawn);
});

test('a lost WebGL context comes back', async (t) => {
  if (!await tab.evaluate(() => Boolean(Module.ctx.getExtension('WEBGL_lose_context')))) {
    t.skip(`${engine} has no WEBGL_lose_context here: no page can lose its context on purpose`);
    return;
  }
  await tab.evaluate(() => {
    window.loseContext = Module.ctx.getExtension('WEBGL_lose_context');
    window.loseContext.loseContext();
  });
  await waitInTab(tab, () => Module.ctx.isContextLost(), null, 5000, 'the context to be lost');
  assert.match(await shownText(), /WebGL context was lost/);
  await tab.evaluate(() => window.loseContext.restoreContext());
  await waitInTab(tab, () => !Module.ctx.isContextLost() && document.getElementById('status').hidden &&
    document.getElementById('waiting').hidden, null, 30000, 'the context to come back');
  // The first frames after the rebuild take a while to reach the screen on a busy machine.
  let notDrawn = '';
  for (const until = Date.now() + 10000; (notDrawn = notADrawnFrame(await screenshot('restored'))) && Date.now() < until;) {
    await new Promise((resolve) => setTimeout(resolve, 250));
  }
  assert.equal(notDrawn, '', notDrawn);
});

test('the show reaches its end screen', async () => {
  await tab.evaluate(() => Module._lumarq_seek(87000));
  await waitForState(['ended'], 30000);
  assert.match(await shownText(), /The show has ended[^]*Play again/);
  await screenshot('end');
});

test('a click start plays the music, and a texture that cannot be downloaded stops the show with a message',
  async (t) => {
    holding = spoiling = true;
    await tab.goto(server.url);
    await waitForState(['start', 'failed']);
    assert.equal(await state(), 'start', await shownText());
    await tab.click('#start-button');
    await waitForState(['playing'], 10000);
    await waitInTab(tab, () => Module.lumarqAudioContext().state === 'running', null, 15000, 'the sound to run');
    const rms = await loudestInTab(tab, 1500);
    t.diagnostic(`loudest RMS ${rms.toFixed(3)}`);
    assert.ok(rms > heardRms, `loudest RMS ${rms}`);

    server.release();  // a texture answered 404, and again when tried again
    await waitForState(['failed'], 30000);
    const text = await shownText();
    assert.match(text, /The show's file models\/ground_diffuse\.png is missing on the server \(HTTP 404/);
    assert.match(text, /Reload$/m, 'the Reload button');
    await waitInTab(tab, () => Module.lumarqAudioContext().state !== 'running', null, 2000, 'the music to stop');
    await tab.press('Escape');
    await new Promise((resolve) => setTimeout(resolve, 500));
    assert.equal(await state(), 'failed', 'Escape leaves the message up');
    await screenshot('error');
  });
