// What the web tests share: a static server for a folder, on 127.0.0.1 only, and Debian's
// Chromium driven headless through puppeteer-core with a fresh profile. WebGL 2 comes from ANGLE
// over Mesa's llvmpipe (the default), or from SwiftShader, whose lines are one pixel wide as in
// most real browsers.
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const contentTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
  '.gz': 'application/gzip',
  '.mp3': 'audio/mpeg',
  '.png': 'image/png',
};

// Serves `root` at http://127.0.0.1:<free port>/; `close()` stops it. Records every path asked for
// and the bytes sent, so a test can tell what a page downloaded. `spoil(path)` may answer a path
// in its own way, as a broken server would: { status, type, body }. `hold(path)` may keep a path's
// answer back until `release()`.
export async function serve(root, { spoil = () => null, hold = () => false } = {}) {
  const requests = [];
  let held = [];
  const answer = (request, response) => {
    const urlPath = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname);
    const file = path.join(root, urlPath === '/' ? 'index.html' : urlPath);
    const spoilt = spoil(urlPath);
    if (spoilt) {
      const body = Buffer.from(spoilt.body);
      requests.push({ path: urlPath, status: spoilt.status, bytes: body.length });
      response.writeHead(spoilt.status, { 'Content-Type': spoilt.type, 'Content-Length': body.length,
                                          'Cache-Control': 'no-store' }).end(body);
      return;
    }
    if (!file.startsWith(path.resolve(root)) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      requests.push({ path: urlPath, status: 404, bytes: 0 });
      response.writeHead(404).end('not found');
      return;
    }
    const bytes = fs.readFileSync(file);
    requests.push({ path: urlPath, status: 200, bytes: bytes.length });
    response.writeHead(200, {
      'Content-Type': contentTypes[path.extname(file)] || 'application/octet-stream',
      'Content-Length': bytes.length,
      'Cache-Control': 'no-store',
    });
    response.end(bytes);
  };
  const server = http.createServer((request, response) => {
    if (held !== null && hold(decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname))) {
      held.push(() => answer(request, response));
    } else {
      answer(request, response);
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    requests,
    // Bytes sent so far.
    bytesSent: () => requests.reduce((sum, request) => sum + request.bytes, 0),
    release: () => {
      const waiting = held;
      held = null;
      for (const send of waiting) send();
    },
    close: () => new Promise((resolve) => server.close(resolve)),
  };
}

// Chromium with WebGL 2: `renderer` 'angle' (ANGLE over Mesa, no X server needed) or
// 'swiftshader'; `flags` adds switches (the autoplay policy, WebGL 2 switched off).
export async function launchBrowser({ renderer = 'angle', flags = [] } = {}) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'lumarq-chromium-'));
  const gl = renderer === 'swiftshader'
    ? ['--use-angle=swiftshader', '--enable-unsafe-swiftshader']
    : ['--use-angle=gl-egl', '--ignore-gpu-blocklist'];
  const browser = await puppeteer.launch({
    executablePath: process.env.LUMARQ_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: [
      '--headless=new', ...gl, '--no-sandbox', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--no-first-run', ...flags,
    ],
    protocolTimeout: 600000,
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    fs.rmSync(profile, { recursive: true, force: true });
  };
  return browser;
}

// A page of `width` x `height` CSS pixels at `scale` device pixels each, on a touch screen where
// `touch` is set, its console lines collected in order as { type, text }.
export async function openPage(browser, { width, height, scale = 1, touch = false }) {
  const page = await browser.newPage();
  await page.setViewport({ width, height, deviceScaleFactor: scale, hasTouch: touch, isMobile: touch });
  const lines = [];
  page.on('console', (message) => lines.push({ type: message.type(), text: message.text() }));
  page.on('pageerror', (error) => lines.push({ type: 'pageerror', text: String(error) }));
  return { page, lines };
}

// Waits until the page's body has one of `states` in its data-state; returns the state.
export async function waitForState(page, states, timeoutMs = 120000) {
  const handle = await page.waitForFunction(
    (wanted) => wanted.includes(document.body.dataset.state) && document.body.dataset.state,
    { timeout: timeoutMs, polling: 100 }, states);
  return handle.jsonValue();
}

// The text of the page's screens and lines that are showing.
export function shownText(page) {
  return page.evaluate(() => [...document.querySelectorAll('.screen, .status, .overlay')]
    .filter((element) => !element.hidden).map((element) => element.innerText).join('\n'));
}

// The folder of a web build's page: LUMARQ_WEB_RUN_DIR, or build-web/run beside the repository.
export function webRunDir() {
  return process.env.LUMARQ_WEB_RUN_DIR ||
    path.resolve(path.dirname(new URL(import.meta.url).pathname), '../../build-web/run');
}
