// What the web tests share: a static server for a folder, on 127.0.0.1 only, and the browser
// engines, each from Debian's packages with a fresh profile: Chromium headless through
// puppeteer-core (WebGL 2 from ANGLE over Mesa's llvmpipe, the default, or from SwiftShader, whose
// lines are one pixel wide as in most real browsers); Firefox ESR on the X server through
// puppeteer-core over WebDriver BiDi (headless Firefox has no WebGL 2 on Mesa); WebKitGTK's
// MiniBrowser on the X server through WebKitWebDriver (W3C WebDriver over HTTP). Firefox and
// WebKit play their sound into a PulseAudio null sink of their own: without an audio device their
// AudioContext never runs. One tab interface drives all three (openTab).
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import net from 'node:net';
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
// and the bytes sent, so a test can tell what a page downloaded. `spoil(path, bytes)` may answer a
// path in its own way, as a broken or odd server would: { status, type, body, headers }, where
// `cut` sends the headers and the first `cut` bytes of the body, then drops the connection, and
// `stall` sends them and then nothing more; `bytes` is the file's, or null. `hold(path)` may keep a
// path's answer back until `release()`, as a very slow link would: its headers at once, then a byte
// every `heldByteMs` (so that the page does not take a hold of over 20 s for a stalled download;
// 0 sends none), the rest on release. `inject` is put into index.html's head before its scripts (a
// stand-in for a browser's own behaviour, in every engine alike).
export async function serve(root, { spoil = () => null, hold = () => false, heldByteMs = 2000, inject = '' } = {}) {
  const requests = [];
  let held = [];
  const trickles = new Set();
  const answer = (request, response, holding = false) => {
    const urlPath = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname);
    const file = path.join(root, urlPath === '/' ? 'index.html' : urlPath);
    const exists = file.startsWith(path.resolve(root)) && fs.existsSync(file) && fs.statSync(file).isFile();
    let bytes = exists ? fs.readFileSync(file) : null;
    const spoilt = spoil(urlPath, bytes);
    if (spoilt) {
      const body = Buffer.from(spoilt.body);
      const sent = spoilt.cut ?? spoilt.stall ?? body.length;
      requests.push({ path: urlPath, status: spoilt.status, bytes: sent });
      response.writeHead(spoilt.status, { 'Content-Type': spoilt.type, 'Content-Length': body.length,
                                          'Cache-Control': 'no-store', ...spoilt.headers });
      if (sent === body.length) {
        response.end(body);
      } else {
        response.write(body.subarray(0, sent), () => spoilt.cut !== undefined && response.socket.destroy());
      }
      return;
    }
    if (!exists) {
      requests.push({ path: urlPath, status: 404, bytes: 0 });
      response.writeHead(404).end('not found');
      return;
    }
    if (inject && file.endsWith('index.html')) {
      bytes = Buffer.from(bytes.toString('utf8').replace('<head>', '<head>\n' + inject));
    }
    // A held answer counts once it is sent.
    if (!holding) requests.push({ path: urlPath, status: 200, bytes: bytes.length });
    response.writeHead(200, {
      'Content-Type': contentTypes[path.extname(file)] || 'application/octet-stream',
      'Content-Length': bytes.length,
      'Cache-Control': 'no-store',
    });
    if (!holding) {
      response.end(bytes);
      return;
    }
    let sent = 0;
    const trickle = heldByteMs > 0 &&
      setInterval(() => sent < bytes.length - 1 && response.write(bytes.subarray(sent, ++sent)), heldByteMs);
    trickles.add(trickle);
    held.push(() => {
      requests.push({ path: urlPath, status: 200, bytes: bytes.length });
      clearInterval(trickle);
      response.end(bytes.subarray(sent));
    });
  };
  const server = http.createServer((request, response) => {
    answer(request, response,
      held !== null && hold(decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname)));
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
    close: () => new Promise((resolve) => {
      for (const trickle of trickles) clearInterval(trickle);
      server.close(resolve);
      server.closeAllConnections();  // a stalled answer never ends by itself
    }),
  };
}

// Put into the page by serve({ inject }): a browser that holds a page's sound back, as Safari does
// and Chromium and Firefox do for a page the viewer has not used yet. Each AudioContext is made
// suspended and runs only once resume() is called within a gesture (the browser's transient user
// activation); after that, as in those browsers, the page may suspend and resume it at will.
// window.audioContexts lists them.
export const holdSoundBack = `<script>
(() => {
  const Real = window.AudioContext;
  window.audioContexts = [];
  window.AudioContext = class extends Real {
    constructor(...options) {
      super(...options);
      window.audioContexts.push(this);
      this.allowed = false;
      super.suspend();
    }
    resume() {
      if (navigator.userActivation.isActive) this.allowed = true;
      return this.allowed ? super.resume() : Promise.resolve();
    }
  };
})();
</script>`;

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

// The engines that the suite runs the show in, by the names the tests take (LUMARQ_WEB_ENGINE).
export const engineNames = ['chromium', 'firefox', 'webkit'];
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

async function freePort() {
  const probe = net.createServer();
  await new Promise((resolve) => probe.listen(0, '127.0.0.1', resolve));
  const { port } = probe.address();
  await new Promise((resolve) => probe.close(resolve));
  return port;
}

// A PulseAudio server of its own with a null sink as its only device: the browser's sound plays
// into nothing, but its AudioContext runs and its clock moves. `env` points a browser at it.
async function startPulseAudio() {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'lumarq-pulse-'));
  const socket = path.join(dir, 'native');
  const pulse = spawn('pulseaudio', ['--daemonize=no', '--exit-idle-time=-1', '--disallow-exit', '--use-pid-file=no',
    '--system=no', '-n', '--load=module-null-sink sink_name=lumarq',
    `--load=module-native-protocol-unix socket=${socket} auth-anonymous=1`],
  { env: { ...process.env, HOME: dir, XDG_RUNTIME_DIR: dir, PULSE_RUNTIME_PATH: dir }, stdio: 'ignore' });
  for (let waited = 0; !fs.existsSync(socket); waited += 100) {
    if (waited > 15000 || pulse.exitCode !== null) {
      pulse.kill();
      throw new Error('pulseaudio did not start (scripts/install-deps test installs it)');
    }
    await sleep(100);
  }
  return {
    env: { PULSE_SERVER: `unix:${socket}` },
    close: () => {
      pulse.kill();
      fs.rmSync(dir, { recursive: true, force: true });
    },
  };
}

// How long a call into a page may take before the page counts as no longer answering (Firefox's
// page now and then stops answering its driver once the show has started on this machine).
// A page that stopped answering never answers again: the calls after it fail at once, rather than
// each waiting out the time again.
const answerMs = 60000;
let silentSince = '';
function answered(what, promise) {
  if (silentSince) return Promise.reject(new Error(`the page did not answer a call within ${answerMs / 1000} s ` +
    `(${silentSince}), and answers nothing since`));
  let timer = 0;
  return Promise.race([promise, new Promise((resolve, reject) => {
    timer = setTimeout(() => {
      silentSince = what;
      reject(new Error(`the page did not answer ${what} within ${answerMs / 1000} s`));
    }, answerMs);
  })]).finally(() => clearTimeout(timer));
}

// A tab over a puppeteer page (Chromium, Firefox).
function puppeteerTab(page, viewport) {
  return {
    async goto(url) {
      await page.goto(url);
    },
    evaluate: (fn, ...args) => answered('a script', page.evaluate(fn, ...args)),
    screenshot: async () => Buffer.from(await page.screenshot()),
    click: (selector) => page.click(selector),
    press: (key) => page.keyboard.press(key, { delay: 100 }),
    resize: (size) => page.setViewport({ ...viewport, ...size }),
    close: () => page.close(),
  };
}

async function launchFirefox(sound) {
  const browser = await puppeteer.launch({
    browser: 'firefox',
    executablePath: process.env.LUMARQ_FIREFOX || '/usr/bin/firefox-esr',
    headless: false,
    protocol: 'webDriverBiDi',
    protocolTimeout: 600000,
    env: { ...process.env, ...sound.env },
    extraPrefsFirefox: {
      // WebGL on Mesa's software renderer, which Firefox would otherwise leave off.
      'webgl.force-enabled': true,
      'layout.css.devPixelsPerPx': '1.0',
      // The X server has no window manager to take a full-screen window back from.
      'full-screen-api.enabled': false,
    },
  });
  return {
    name: 'firefox',
    async open(viewport) {
      const page = await browser.newPage();
      await page.setViewport(viewport);
      await page.bringToFront();  // a tab in the background is hidden, and the show holds there
      return puppeteerTab(page, viewport);
    },
    close: () => browser.close(),
  };
}

// W3C WebDriver over HTTP, as WebKitWebDriver speaks it.
async function webDriver(base, method, route, body) {
  const response = await fetch(base + route, {
    method, headers: { 'Content-Type': 'application/json' }, body: body === undefined ? undefined : JSON.stringify(body),
  });
  const { value } = await response.json();
  if (!response.ok || (value && value.error)) {
    throw new Error(`WebDriver ${method} ${route}: ${value && value.error}: ${value && value.message}`);
  }
  return value;
}

// The script that runs `source` (a function's text) with the arguments and hands back its value
// or its error, for WebDriver's asynchronous execute.
const asyncScript = (source) => `const done = arguments[arguments.length - 1];
const args = Array.prototype.slice.call(arguments, 0, -1);
Promise.resolve().then(() => (${source})(...args)).then((value) => done({ value: value === undefined ? null : value }),
  (error) => done({ error: String(error && error.stack || error) }));`;

async function launchWebKit(sound) {
  const port = await freePort();
  const driver = spawn(process.env.LUMARQ_WEBKIT_DRIVER || 'WebKitWebDriver', [`--port=${port}`],
    { env: { ...process.env, ...sound.env }, stdio: 'ignore' });
  const base = `http://127.0.0.1:${port}`;
  for (let waited = 0; !(await fetch(base + '/status').catch(() => null))?.ok; waited += 100) {
    if (waited > 15000 || driver.exitCode !== null) {
      driver.kill();
      throw new Error('WebKitWebDriver did not start (scripts/install-deps test installs webkit2gtk-driver)');
    }
    await sleep(100);
  }
  const browserBinary = process.env.LUMARQ_MINIBROWSER ||
    ['/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser', '/usr/libexec/webkit2gtk-4.1/MiniBrowser']
      .find((file) => fs.existsSync(file));
  const sessions = [];
  return {
    name: 'webkit',
    async open(viewport) {
      const session = await webDriver(base, 'POST', '/session', { capabilities: { alwaysMatch: {
        'webkitgtk:browserOptions': { binary: browserBinary, args: ['--automation'] },
      } } });
      const at = `/session/${session.sessionId}`;
      sessions.push(at);
      await webDriver(base, 'POST', `${at}/timeouts`, { script: 600000, pageLoad: 120000 });
      const send = (method, route, body) => webDriver(base, method, at + route, body);
      const evaluate = async (fn, ...args) => {
        const result = await send('POST', '/execute/async', { script: asyncScript(fn.toString()), args });
        if (result.error) throw new Error(result.error);
        return result.value;
      };
      // The window's size less what its frame takes: the page's viewport at `size`.
      const resize = async (size) => {
        let rect = await send('POST', '/window/rect', { width: size.width, height: size.height });
        const inner = await evaluate(() => [window.innerWidth, window.innerHeight]);
        rect = { width: rect.width + size.width - inner[0], height: rect.height + size.height - inner[1] };
        await send('POST', '/window/rect', rect);
      };
      await resize(viewport);
      const keyValues = { Enter: '\uE007', Escape: '\uE00C' };
      return {
        goto: (url) => send('POST', '/url', { url }),
        evaluate,
        screenshot: async () => Buffer.from(await send('GET', '/screenshot'), 'base64'),
        async click(selector) {
          const element = await send('POST', '/element', { using: 'css selector', value: selector });
          await send('POST', `/element/${Object.values(element)[0]}/click`, {});
        },
        async press(key) {
          const value = keyValues[key] || key;
          await send('POST', '/actions', { actions: [{ type: 'key', id: 'keyboard', actions: [
            { type: 'keyDown', value }, { type: 'pause', duration: 100 }, { type: 'keyUp', value }] }] });
        },
        resize,
        async close() {
          sessions.splice(sessions.indexOf(at), 1);
          await send('DELETE', '');
        },
      };
    },
    async close() {
      for (const at of sessions) await webDriver(base, 'DELETE', at).catch(() => {});
      driver.kill();
    },
  };
}

// One browser of `engine` (engineNames): `open(viewport)` gives a tab at that viewport, with
// goto(url), evaluate(fn, ...args) (fn runs in the page; its promise is awaited), screenshot() (a
// PNG of the viewport), click(selector), press(key), resize(size) and close(); `close()` ends the
// browser and its sound server.
export async function launchEngine(engine) {
  if (engine === 'chromium') {
    const browser = await launchBrowser();
    return {
      name: engine,
      async open(viewport) {
        const { page } = await openPage(browser, viewport);
        return puppeteerTab(page, viewport);
      },
      close: () => browser.close(),
    };
  }
  const sound = await startPulseAudio();
  try {
    const browser = engine === 'firefox' ? await launchFirefox(sound) : await launchWebKit(sound);
    const close = browser.close;
    browser.close = async () => {
      await close();
      sound.close();
    };
    return browser;
  } catch (error) {
    sound.close();
    throw error;
  }
}

// Polls `fn(arg)` in the tab until it is true, for at most `timeoutMs`.
export async function waitInTab(tab, fn, arg, timeoutMs, what) {
  for (const until = Date.now() + timeoutMs; !(await tab.evaluate(fn, arg));) {
    if (Date.now() > until) throw new Error(`waited ${timeoutMs} ms for ${what}`);
    await sleep(100);
  }
}

// The loudest RMS that an AnalyserNode on the page's sound output hears over `ms`: the music heard.
export function loudestInTab(tab, ms) {
  return tab.evaluate((duration) => new Promise((resolve) => {
    const analyser = AL.currentCtx.audioCtx.createAnalyser();
    AL.currentCtx.gain.connect(analyser);
    const samples = new Float32Array(analyser.fftSize);
    let most = 0;
    const until = performance.now() + duration;
    const listen = () => {
      analyser.getFloatTimeDomainData(samples);
      let sum = 0;
      for (const s of samples) sum += s * s;
      most = Math.max(most, Math.sqrt(sum / samples.length));
      if (performance.now() < until) setTimeout(listen, 50); else resolve(most);
    };
    listen();
  }), ms);
}
