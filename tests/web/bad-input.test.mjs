// Bad input on the page: a missing model, a broken shader and missing music each give the demo's
// own line in the console and a message in words on the page, and no WebGL 2 a message before
// anything is downloaded; a server that answers a file with a 404, a cut-short file or a web page
// gets a message of its own for each, naming the file, with a Reload button, before the program
// runs, and one that stalls says so after 20 s; a texture that breaks mid-show (a 404, a wrong
// hash, a cut connection) is tried again twice, then stops the show and its music with its
// message, which Escape does not take away; a host that sends the packed files with
// Content-Encoding, in a sandboxed frame without full screen or pointer lock, plays the show and
// says why the free camera has no pointer; a Content-Security-Policy without blob: is named; a
// page opened from file:// says to serve the folder; a ?at= or ?style= that the show cannot take is
// answered with a notice within seconds, the loading bar showing meanwhile; and a page whose sound
// the browser holds back, or the system has taken, says so and plays on silently. The page never
// leaves a blank canvas without saying why.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { writePageFiles } from '../../tools/web/page_files.mjs';
import { launchBrowser, openPage, serve, shownText, waitForState, webRunDir } from './browser.mjs';

const sourceDir = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../..');
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'lumarq-web-bad-'));
// How long a refused or corrected ?at= may take to be answered.
const answerMs = 10000;
// How long a download may stall before the page says so (web/files.js), and the time it may take
// beyond that.
const stallMs = 20000;
const stallSlackMs = 10000;

// A copy of the page with its file list written anew after `spoil` has changed its data (in a
// folder holding shader/, models/ and mp3/ beside the program).
function pageWith(name, spoil) {
  const dir = path.join(scratch, name);
  fs.mkdirSync(dir, { recursive: true });
  for (const file of ['lumarq-web.js', 'lumarq-web.wasm']) {
    fs.copyFileSync(path.join(webRunDir(), file), path.join(dir, file));
  }
  for (const folder of ['shader', 'models', 'mp3']) {
    fs.cpSync(path.join(webRunDir(), folder), path.join(dir, folder),
      { recursive: true, filter: (file) => !file.endsWith('.gz') });
  }
  spoil(dir);
  writePageFiles(dir, path.join(sourceDir, 'web'));
  return dir;
}

let browser, stall;
before(async () => {
  browser = await launchBrowser();
  // A program download that stalls half way: started first, looked at last, so that its 20 s pass
  // while the other cases run.
  stall = { server: await serve(webRunDir(), { spoil: (file, bytes) => (file === '/lumarq-web.wasm.gz'
    ? { status: 200, type: 'application/gzip', body: bytes, stall: bytes.length >> 1 } : null) }) };
  ({ page: stall.page } = await openPage(browser, { width: 320, height: 180 }));
  stall.started = Date.now();
  await stall.page.goto(stall.server.url);
});
after(async () => {
  await stall?.server?.close();
  await browser?.close();
  fs.rmSync(scratch, { recursive: true, force: true });
});

// Opens the page in `dir` (with `query`, from a server that answers as `serving` says) and waits
// for it to settle and, where given, for a console line matching `until`; returns its state, the
// text it shows and its console.
async function visit(dir, { openedBrowser = browser, until = null, query = '', serving = {} } = {}) {
  const server = await serve(dir, serving);
  try {
    const { page, lines } = await openPage(openedBrowser, { width: 480, height: 270 });
    await page.goto(server.url + query);
    const state = await waitForState(page, ['start', 'failed']);
    const text = await shownText(page);
    for (let waited = 0; until && waited < 120000 && !lines.some((line) => until.test(line.text)); waited += 100) {
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
    await page.close();
    return { state, text, console: lines.map((line) => line.text).join('\n') };
  } finally {
    await server.close();
  }
}

test('a missing model stops the show with the loader\'s line', async () => {
  const result = await visit(pageWith('no-model', (data) => fs.rmSync(path.join(data, 'models/stone2.obj'))));
  assert.equal(result.state, 'failed');
  assert.match(result.console, /Cannot read model file models\/stone2\.obj: /);
  assert.match(result.text, /Cannot read model file models\/stone2\.obj: /);
  assert.doesNotMatch(result.console, /END LOAD OBJECTS/);
});

test('a broken shader prints its log and the page says which program is missing', async () => {
  const result = await visit(pageWith('broken-shader', (data) =>
    fs.appendFileSync(path.join(data, 'shader/Toon.fragmentshader'), '\nthis is not GLSL\n')));
  assert.equal(result.state, 'start');
  assert.match(result.console, /Compiling shader : Toon\.fragmentshader\n[^\n]*ERROR/);
  assert.match(result.text, /The shader program Toon did not build/);
});

test('missing music prints the sound error line and the page says the show is silent', async () => {
  const result = await visit(pageWith('no-music', (data) => fs.rmSync(path.join(data, 'mp3'), { recursive: true })));
  assert.equal(result.state, 'start');
  assert.match(result.console, /FMOD error! \(\d+\) /);
  assert.match(result.text, /The music could not be opened/);
});

test('without WebGL 2 the page says why, and downloads nothing of the show', async () => {
  const noWebGl2 = await launchBrowser({ flags: ['--disable-webgl2'] });
  const server = await serve(webRunDir());
  try {
    const { page } = await openPage(noWebGl2, { width: 480, height: 270 });
    await page.goto(server.url);
    assert.equal(await waitForState(page, ['start', 'failed']), 'failed');
    assert.match(await shownText(page), /needs WebGL 2/);
    await new Promise((resolve) => setTimeout(resolve, 1000));
    assert.deepEqual(server.requests.filter((request) => /\.(gz|png|mp3)$/.test(request.path)), []);
  } finally {
    await server.close();
    await noWebGl2.close();
  }
});

test('a missing, cut-short or mistaken file each says so, names the file and offers Reload', async () => {
  const html = '<!doctype html><title>Not here</title><p>Nothing to see.';
  const cases = [
    { file: 'models/ground.obj.gz', answer: { status: 404, type: 'text/plain', body: 'not found' },
      says: /models\/ground\.obj\.gz is missing on the server \(HTTP 404/ },
    { file: 'mp3/zarathustra2.mp3',
      answer: { status: 200, type: 'audio/mpeg',
                body: fs.readFileSync(path.join(webRunDir(), 'mp3/zarathustra2.mp3')).subarray(0, 100000) },
      says: /mp3\/zarathustra2\.mp3 arrived with 100000 bytes instead of \d+: it is cut short/ },
    { file: 'lumarq-web.wasm.gz', answer: { status: 200, type: 'text/html', body: html },
      says: /The server sent a web page in place of the show's file lumarq-web\.wasm\.gz/ },
  ];
  for (const { file, answer, says } of cases) {
    const result = await visit(webRunDir(), { serving: { spoil: (asked) => (asked === `/${file}` ? answer : null) } });
    assert.equal(result.state, 'failed', file);
    assert.match(result.text, says);
    assert.match(result.text, /Reload the page/);
    assert.match(result.text, /Reload$/m, 'the Reload button');
    assert.doesNotMatch(result.console, /^INIT/m, `the program ran without ${file}`);
  }
});

// Opens the page from `server` (in a frame of host.html where `framed`), clicks start and waits
// for the show to play; returns the page and the frame the show is in.
async function startShow(server, { framed = false } = {}) {
  const { page, lines } = await openPage(browser, { width: 640, height: 360 });
  await page.goto(server.url + (framed ? 'host.html' : ''));
  const frame = framed ? await (await page.waitForSelector('iframe')).contentFrame() : page.mainFrame();
  assert.equal(await waitForState(frame, ['start', 'failed']), 'start', await shownText(frame));
  await frame.click('#start-button');
  await waitForState(frame, ['playing'], 10000);
  return { page, frame, lines };
}

test('a texture that breaks mid-show is tried again, then stops the show and its music with its message',
  async () => {
    const file = 'models/ground_diffuse.png';
    const bytes = fs.readFileSync(path.join(webRunDir(), file));
    const wrong = Buffer.from(bytes);
    wrong[wrong.length >> 1] ^= 0xff;
    const cases = [
      { answer: { status: 404, type: 'text/plain', body: 'not found' }, says: /missing on the server \(HTTP 404/ },
      { answer: { status: 200, type: 'image/png', body: wrong }, says: /is not this build's \(its SHA-256 differs\)/ },
      { answer: { status: 200, type: 'image/png', body: bytes, cut: bytes.length >> 1 }, says: /broke off/ },
    ];
    for (const [index, { answer, says }] of cases.entries()) {
      let held = true;
      const server = await serve(webRunDir(), {
        hold: (asked) => held && asked.endsWith('.png'), spoil: (asked) => (asked === `/${file}` ? answer : null),
      });
      try {
        const { page } = await startShow(server);
        if (index === 0) {
          // Escape while the show waits for the textures ends it, and it plays again.
          await page.keyboard.press('2');
          await page.waitForFunction(() => !document.getElementById('waiting').hidden, { timeout: 5000 });
          await page.keyboard.press('Escape');
          await waitForState(page, ['ended'], 5000);
          await page.click('#again-button');
          await waitForState(page, ['playing'], 5000);
        }
        held = false;
        server.release();
        assert.equal(await waitForState(page, ['failed'], 30000), 'failed');
        const text = await shownText(page);
        assert.match(text, new RegExp(`${file}[^]*`));
        assert.match(text, says);
        assert.match(text, /Reload$/m, 'the Reload button');
        assert.equal(server.requests.filter((request) => request.path === `/${file}`).length, 3, 'tries');
        await page.waitForFunction(() => AL.currentCtx.audioCtx.state === 'suspended', { timeout: 2000 });
        assert.equal(await page.evaluate(() => Browser.mainLoop.func), null, 'the frames stopped');
        await page.keyboard.press('Escape');
        await new Promise((resolve) => setTimeout(resolve, 300));
        assert.equal(await page.evaluate(() => document.body.dataset.state), 'failed', 'after an Escape');
        await page.close();
      } finally {
        await server.close();
      }
    }
  });

test('in a sandboxed frame of a host that sends the packed files with Content-Encoding, the show plays, and ' +
  'the free camera says why it has no pointer', async () => {
  const host = '<!doctype html><title>A demo portal</title><iframe src="index.html" width="640" height="360" ' +
    'sandbox="allow-scripts allow-same-origin"></iframe>';
  const server = await serve(webRunDir(), { spoil: (file, bytes) => {
    if (file === '/host.html') return { status: 200, type: 'text/html', body: host };
    return file.endsWith('.gz') ? { status: 200, type: 'application/octet-stream', body: bytes,
                                    headers: { 'Content-Encoding': 'gzip' } } : null;
  } });
  let shown = null;
  try {
    shown = await startShow(server, { framed: true });
    const { page, frame, lines } = shown;
    await page.keyboard.press('0');
    await frame.waitForFunction(() => !document.getElementById('status').hidden, { timeout: 5000 });
    assert.match(await shownText(frame), /did not hand the mouse pointer to the show/);
    // The refusal comes at once; the program reads the key on its next frame, which on a busy
    // machine may come later.
    await frame.waitForFunction(() => Module._lumarq_free_camera() === 1, { timeout: 5000 })
      .catch(() => assert.fail('the camera does not fly free'));
    assert.equal(await frame.evaluate(() => document.body.dataset.state), 'playing');
    assert.deepEqual(lines.filter((line) => line.type === 'pageerror'), []);
  } finally {
    await shown?.page.close();
    await server.close();
  }
});

test('a Content-Security-Policy that refuses blob: scripts is named', async () => {
  const policy = 'script-src \'self\' \'unsafe-inline\' \'wasm-unsafe-eval\'';
  const server = await serve(webRunDir(), { spoil: (file, bytes) => (file === '/' ? { status: 200,
    type: 'text/html', body: bytes ?? fs.readFileSync(path.join(webRunDir(), 'index.html')),
    headers: { 'Content-Security-Policy': policy } } : null) });
  try {
    const { page } = await openPage(browser, { width: 480, height: 270 });
    await page.goto(server.url);
    assert.equal(await waitForState(page, ['start', 'failed'], 60000), 'failed');
    assert.match(await shownText(page), /Content-Security-Policy refuses scripts from blob: addresses/);
    await page.close();
  } finally {
    await server.close();
  }
});

test('a download that stalls says so after 20 s and offers Reload', async () => {
  assert.equal(await waitForState(stall.page, ['start', 'failed'], stallMs + stallSlackMs), 'failed');
  const after = Date.now() - stall.started;
  assert.ok(after >= stallMs, `said after ${after} ms`);
  const text = await shownText(stall.page);
  assert.match(text, /lumarq-web\.wasm\.gz stalled: nothing arrived for 20 seconds/);
  assert.match(text, /Reload$/m);
});

test('a page opened from file:// says to serve the folder with scripts/play --web', async () => {
  const { page } = await openPage(browser, { width: 480, height: 270 });
  await page.goto('file://' + path.join(webRunDir(), 'index.html'));
  assert.equal(await waitForState(page, ['failed'], 10000), 'failed');
  assert.match(await shownText(page), /file:\/\/ address[^]*scripts\/play --web/);
  await page.close();
});

test('a time or style the show cannot take is answered with a notice within seconds', async (t) => {
  let holding = false;
  const server = await serve(webRunDir(), { hold: (file) => holding && file === '/lumarq-web.wasm.gz' });
  const cases = [
    { query: '?at=inf', notice: /\?at=inf is not a show time[^]*plays from its start/, state: 'start' },
    { query: '?at=abc', notice: /\?at=abc is not a show time/, state: 'start' },
    { query: '?at=1e9', notice: /lies past the show's end at \d+ ms: this is its last moment/, state: 'still' },
    { query: '?at=-5', notice: /\?at=-5 lies before the show's start: this is its first moment/, state: 'still' },
    { query: '?at=5000&style=neon', notice: /\?style=neon is not one of the show's styles, which are toon, shadow and bump/,
      state: 'still' },
  ];
  try {
    // A still's download shows the loading bar, as the show's does.
    holding = true;
    const { page: loading } = await openPage(browser, { width: 320, height: 180 });
    await loading.goto(server.url + '?at=5000');
    assert.match(await shownText(loading), /Loading the show… \d+%/);
    assert.equal(await loading.evaluate(() => document.getElementById('loading').hidden), false);
    server.release();
    assert.equal(await waitForState(loading, ['still', 'failed']), 'still');
    for (const { query, notice, state } of cases) {
      const { page } = await openPage(browser, { width: 320, height: 180 });
      const started = Date.now();
      await page.goto(server.url + query);
      await page.waitForFunction(() => !document.getElementById('status').hidden ||
        !document.getElementById('notice').hidden, { timeout: answerMs });
      t.diagnostic(`${query}: answered after ${Date.now() - started} ms`);
      assert.match(await shownText(page), notice, query);
      assert.equal(await waitForState(page, [state, 'failed'], 60000), state, query);
      await page.close();
    }
    await loading.close();
  } finally {
    await server.close();
  }
});

test('held back by the browser\'s autoplay rules, or taken by the system, the show says so and plays on silently',
  async () => {
  const server = await serve(webRunDir());
  try {
    const { page } = await openPage(browser, { width: 320, height: 180 });
    // As a browser that keeps a page's sound back: every AudioContext suspended, for good; or, as
    // Safari's when a call comes, interrupted.
    await page.evaluateOnNewDocument(() => {
      const Real = window.AudioContext;
      window.soundTaken = false;
      window.AudioContext = class extends Real {
        constructor(...options) {
          super(...options);
          super.suspend();
        }
        get state() {
          return window.soundTaken ? 'interrupted' : super.state;
        }
        resume() {
          return Promise.resolve();
        }
      };
    });
    await page.goto(server.url);
    assert.equal(await waitForState(page, ['start', 'failed']), 'start');
    await page.click('#start-button');
    await page.waitForFunction(() => !document.getElementById('status').hidden, { timeout: 5000 });
    assert.match(await shownText(page), /keeps this page from playing sound[^]*plays on silently/);
    const silentAt = await page.evaluate(() => Module._lumarq_show_ms());
    await new Promise((resolve) => setTimeout(resolve, 1500));
    const later = await page.evaluate(() => Module._lumarq_show_ms());
    assert.ok(later - silentAt > 1000, `the show went from ${silentAt} ms to ${later} ms in 1.5 s`);

    await page.evaluate(() => {
      window.soundTaken = true;
    });
    await page.keyboard.press('Escape');
    assert.equal(await waitForState(page, ['ended'], 5000), 'ended');
    await page.click('#again-button');
    await page.waitForFunction(() => /system holds the sound/.test(document.getElementById('status').textContent),
      { timeout: 5000 });
    assert.match(await shownText(page), /plays on silently/);
    await page.close();
  } finally {
    await server.close();
  }
});
