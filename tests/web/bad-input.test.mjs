// Bad input on the page: a missing model, a broken shader, missing music and no WebGL 2 each give
// the demo's own line in the console and a message in words on the page; a server that answers a
// file with a 404, a cut-short file or a web page gets a message of its own for each, naming the
// file, with a Reload button, before the program runs; a page opened from file:// says to serve
// the folder; a ?at= or ?style= that the show cannot take is answered with a notice within seconds;
// and a page whose sound the browser holds back says so and plays on silently. The page never
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

let browser;
before(async () => {
  browser = await launchBrowser();
});
after(async () => {
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

test('without WebGL 2 the window fails as the demo says and the page says why', async () => {
  const noWebGl2 = await launchBrowser({ flags: ['--disable-webgl2'] });
  try {
    const result = await visit(webRunDir(), { openedBrowser: noWebGl2, until: /OGL 3\.3/ });
    assert.equal(result.state, 'failed');
    assert.match(result.text, /needs WebGL 2/);
    assert.match(result.console, /Failed to open GLFW window OGL 4\.1\nFailed to open GLFW window OGL 3\.3/);
  } finally {
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

test('a page opened from file:// says to serve the folder with scripts/play --web', async () => {
  const { page } = await openPage(browser, { width: 480, height: 270 });
  await page.goto('file://' + path.join(webRunDir(), 'index.html'));
  assert.equal(await waitForState(page, ['failed'], 10000), 'failed');
  assert.match(await shownText(page), /file:\/\/ address[^]*scripts\/play --web/);
  await page.close();
});

test('a time or style the show cannot take is answered with a notice within seconds', async (t) => {
  const server = await serve(webRunDir());
  const cases = [
    { query: '?at=inf', notice: /\?at=inf is not a show time[^]*plays from its start/, state: 'start' },
    { query: '?at=abc', notice: /\?at=abc is not a show time/, state: 'start' },
    { query: '?at=1e9', notice: /lies past the show's end at \d+ ms: this is its last moment/, state: 'still' },
    { query: '?at=-5', notice: /\?at=-5 lies before the show's start: this is its first moment/, state: 'still' },
    { query: '?at=5000&style=neon', notice: /\?style=neon is not one of the show's styles, which are toon, shadow and bump/,
      state: 'still' },
  ];
  try {
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
  } finally {
    await server.close();
  }
});

test('held back by the browser\'s autoplay rules, the show says so and plays on silently', async () => {
  const server = await serve(webRunDir());
  try {
    const { page } = await openPage(browser, { width: 320, height: 180 });
    // As a browser that keeps a page's sound back: every AudioContext suspended, for good.
    await page.evaluateOnNewDocument(() => {
      const Real = window.AudioContext;
      window.AudioContext = class extends Real {
        constructor(...options) {
          super(...options);
          super.suspend();
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
    await page.close();
  } finally {
    await server.close();
  }
});
