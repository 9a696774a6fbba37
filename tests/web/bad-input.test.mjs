// Bad input on the page: a missing model in the data file, a broken shader, missing music and no
// WebGL 2 each give the demo's own line in the console and a message in words on the page; the
// page never leaves a blank canvas without saying why.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { launchBrowser, openPage, serve, waitForState, webRunDir } from './browser.mjs';

const pageFiles = ['index.html', 'lumarq.js', 'style.css', 'lumarq-web.js', 'lumarq-web.wasm'];
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'lumarq-web-bad-'));

// A copy of the page whose data file is packed from the web build's data after `spoil` has changed
// it (in a folder holding shader/, models/ and mp3/).
function pageWith(name, spoil) {
  const dir = path.join(scratch, name);
  const data = path.join(dir, 'data');
  fs.mkdirSync(data, { recursive: true });
  for (const file of pageFiles) {
    fs.copyFileSync(path.join(webRunDir(), file), path.join(dir, file));
  }
  for (const folder of ['shader', 'models', 'mp3']) {
    fs.cpSync(path.join(webRunDir(), folder), path.join(data, folder), { recursive: true });
  }
  spoil(data);
  const folders = ['shader', 'models', 'mp3'].filter((folder) => fs.existsSync(path.join(data, folder)));
  const packed = spawnSync('python3', ['/usr/share/emscripten/tools/file_packager.py', '../lumarq-web.data',
    '--preload', ...folders, '--js-output=../lumarq-web.data.js'], { cwd: data, encoding: 'utf8' });
  assert.equal(packed.status, 0, packed.stderr);
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

// Opens the page in `dir` and waits for it to settle and, where given, for a console line
// matching `until`; returns its state, message and console.
async function visit(dir, { openedBrowser = browser, until = null } = {}) {
  const server = await serve(dir);
  try {
    const { page, lines } = await openPage(openedBrowser, { width: 480, height: 270 });
    await page.goto(server.url);
    const state = await waitForState(page, ['start', 'failed']);
    const text = await page.evaluate(() => {
      const shown = [...document.querySelectorAll('.screen')].filter((screen) => !screen.hidden);
      return shown.map((screen) => screen.innerText).join('\n');
    });
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
