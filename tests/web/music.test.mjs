// The show with its music on a touch screen, with the autoplay policy lifted: a tap starts it and
// an AnalyserNode on OpenAL's output hears the music; the music's position as heard (the times at
// which the browser was told to play its buffers, less the output's latency) stays within one
// frame of the show's clock, also when the page's thread stalls as the clock is read, soon after
// the output stopped for a moment, after the page was hidden for five seconds (during which both
// held), after the system stopped the sound while the page was visible (the show held with it
// until a key) and after a lost WebGL context came back; the touch overlay ends the show, Play
// again plays it from its start with the music, and the show reaches its end screen by itself
// when the music ends.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { launchBrowser, openPage, serve, shownText, waitForState, webRunDir } from './browser.mjs';
import { decodePng, notADrawnFrame } from './png.mjs';

const frameMs = 1000 / 60;
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
let server, browser, page;
before(async () => {
  server = await serve(webRunDir());
  browser = await launchBrowser({ flags: ['--autoplay-policy=no-user-gesture-required'] });
  ({ page } = await openPage(browser, { width: 480, height: 270, touch: true }));
  // Every buffer the page's audio plays, with the context time it was told to start at.
  await page.evaluateOnNewDocument(() => {
    window.audioStarts = [];
    const start = AudioBufferSourceNode.prototype.start;
    AudioBufferSourceNode.prototype.start = function (when = 0, offset = 0, ...rest) {
      window.audioStarts.push({ when: Math.max(when, this.context.currentTime), offset,
                                duration: this.buffer ? this.buffer.duration : 0 });
      return start.call(this, when, offset, ...rest);
    };
  });
  await page.goto(server.url);
  assert.equal(await waitForState(page, ['start', 'failed']), 'start');
});
after(async () => {
  await browser?.close();
  await server?.close();
});

const showMs = () => page.evaluate(() => Module._lumarq_show_ms());

// The loudest RMS an AnalyserNode on the output hears over `ms`.
function loudest(ms) {
  return page.evaluate((duration) => new Promise((resolve) => {
    const context = AL.currentCtx.audioCtx;
    const analyser = context.createAnalyser();
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

// How far apart the show time and the music's position as heard are over a second's readings, for
// the music started at `first`, the index of its first buffer: all but the farthest reading (the
// browser now and then hands out a timestamp a block stale). What is heard now is the context's
// time that the browser says reaches the output (getOutputTimestamp), carried on to now. A buffer
// told to start late begins part way in (the first may be), so the position is counted from the
// start of the latest buffer after the first that has begun: the buffers before it, whole, and its
// time since. Every later buffer, up to now, must start where the one before it ends: one handed over
// late starts late, and the music is behind its clock from then on.
async function worstApart(t, first = 0) {
  const { readings, latencyMs } = await page.evaluate((from) => new Promise((resolve) => {
    const context = AL.currentCtx.audioCtx;
    const latencyMs = 1000 * ((context.baseLatency || 0) + (context.outputLatency || 0));
    const out = [];
    const read = () => {
      const stamp = context.getOutputTimestamp();
      const heard = stamp.contextTime + (performance.now() - stamp.performanceTime) / 1000;
      const starts = window.audioStarts;
      let at = from + 1;
      while (at + 1 < starts.length && starts[at + 1].when <= heard) ++at;
      let musicMs = 1000 * (heard - starts[at].when);
      for (let i = from; i < at; ++i) musicMs += 1000 * starts[i].duration;
      out.push({ showMs: Module._lumarq_show_ms(), musicMs });
      if (out.length < 30) setTimeout(read, 37); else resolve({ readings: out, latencyMs });
    };
    read();
  }), first);
  const starts = await page.evaluate(() => window.audioStarts);
  for (let i = first + 2; i < starts.length; ++i) {
    const gap = starts[i].when - (starts[i - 1].when + starts[i - 1].duration);
    assert.ok(Math.abs(gap) < 0.002, `buffer ${i - first} starts ${(1000 * gap).toFixed(1)} ms off its place`);
  }
  t.diagnostic(`the output's latency: ${latencyMs.toFixed(1)} ms`);
  t.diagnostic(`show less music at each reading, ms: ${readings.map((r) => (r.showMs - r.musicMs).toFixed(1)).join(' ')}`);
  const apart = readings.map((r) => Math.abs(r.showMs - r.musicMs)).sort((a, b) => a - b);
  return apart[apart.length - 2];
}

test('a touch screen is asked to tap, and a tap starts the show and its music', async (t) => {
  assert.equal(await page.$eval('#start-button', (button) => button.textContent), 'Tap to start');
  assert.match(await shownText(page), /tap the picture/);
  await page.tap('#start-button');
  await waitForState(page, ['playing'], 10000);
  const rms = await loudest(3000);
  t.diagnostic(`loudest RMS ${rms.toFixed(3)}`);
  assert.ok(rms > 0.01, `loudest RMS ${rms}`);
});

test('the music\'s position as heard stays within one frame of the show time, also when the page stalls', async (t) => {
  // A stall on the page's thread as the program reads the audio clock (on a busy machine, the
  // thread descheduled): every tenth reading of currentTime waits 30 ms first.
  await page.evaluate(() => {
    const context = AL.currentCtx.audioCtx;
    const read = Object.getOwnPropertyDescriptor(BaseAudioContext.prototype, 'currentTime').get;
    let reads = 0;
    Object.defineProperty(context, 'currentTime', { configurable: true, get() {
      if (++reads % 10 === 0) for (const until = performance.now() + 30; performance.now() < until;);
      return read.call(context);
    } });
  });
  const worst = await worstApart(t);
  await page.evaluate(() => delete AL.currentCtx.audioCtx.currentTime);
  t.diagnostic(`show and music at most ${worst.toFixed(1)} ms apart`);
  assert.ok(worst <= frameMs, `show and music up to ${worst.toFixed(1)} ms apart`);
});

test('the output stops for a moment, and the show waits for the music within half a second', async (t) => {
  // As where the browser's audio thread is held up on a busy machine: the sound and the context's
  // clock stop for 100 ms, the music goes on that much later, and the program is not told.
  await page.evaluate(async () => {
    const context = AL.currentCtx.audioCtx;
    await context.suspend();
    await new Promise((resolve) => setTimeout(resolve, 100));
    await context.resume();
  });
  await sleep(500);
  const worst = await worstApart(t);
  t.diagnostic(`after the stop, show and music at most ${worst.toFixed(1)} ms apart`);
  assert.ok(worst <= frameMs, `after the stop, show and music up to ${worst.toFixed(1)} ms apart`);
});

test('hidden for five seconds, the show and the music hold, and go on together', async (t) => {
  const other = await browser.newPage();
  await other.bringToFront();
  await page.waitForFunction(() => document.hidden, { timeout: 5000 });
  const hiddenAt = await showMs();
  await sleep(5000);
  const stillHidden = await showMs();
  await page.bringToFront();
  await other.close();
  await page.waitForFunction(() => !document.hidden, { timeout: 5000 });
  t.diagnostic(`the show time moved ${stillHidden - hiddenAt} ms while hidden`);
  assert.ok(stillHidden - hiddenAt < 1000, `the show moved on ${stillHidden - hiddenAt} ms while hidden`);
  await page.waitForFunction((at) => Module._lumarq_show_ms() > at + 500, { timeout: 10000 }, stillHidden);
  const worst = await worstApart(t);
  t.diagnostic(`after the pause, show and music at most ${worst.toFixed(1)} ms apart`);
  assert.ok(worst <= frameMs, `after the pause, show and music up to ${worst.toFixed(1)} ms apart`);
});

test('sound that the system stops holds the show with it, and a key starts both again in step', async (t) => {
  // As Safari's "interrupted", or a headphone unplugged: the context stops without the page's doing.
  await page.evaluate(() => AL.currentCtx.audioCtx.suspend());
  await page.waitForFunction(() => /The sound stopped/.test(document.getElementById('status').textContent) &&
    !document.getElementById('status').hidden, { timeout: 5000 });
  assert.match(await shownText(page), /tap, click or press a key to go on/);
  const heldAt = await showMs();
  await sleep(1000);
  assert.equal(await showMs(), heldAt, 'the show holds with the music');
  // A key, which emscripten's own listeners never see (the page's input takes them all).
  await page.keyboard.press('Space');
  await page.waitForFunction(() => AL.currentCtx.audioCtx.state === 'running' &&
    document.getElementById('status').hidden, { timeout: 5000 });
  await page.waitForFunction((at) => Module._lumarq_show_ms() > at + 500, { timeout: 10000 }, heldAt);
  const worst = await worstApart(t);
  t.diagnostic(`after the sound came back, show and music at most ${worst.toFixed(1)} ms apart`);
  assert.ok(worst <= frameMs, `after the sound came back, show and music up to ${worst.toFixed(1)} ms apart`);
});

test('a lost WebGL context comes back, the show in step with the music', async (t) => {
  await page.evaluate(() => {
    window.loseContext = Module.ctx.getExtension('WEBGL_lose_context');
    window.loseContext.loseContext();
  });
  await page.waitForFunction(() => Module.ctx.isContextLost(), { timeout: 5000 });
  assert.match(await shownText(page), /WebGL context was lost/);
  const lostAt = await showMs();
  await sleep(1000);
  assert.ok(await showMs() > lostAt + 500, 'the show goes on with the music');
  await page.evaluate(() => window.loseContext.restoreContext());
  await page.waitForFunction(() => !Module.ctx.isContextLost() && document.getElementById('status').hidden,
    { timeout: 10000 });
  await sleep(1000);
  const notDrawn = notADrawnFrame(decodePng(await page.screenshot()));
  assert.equal(notDrawn, '', notDrawn);
  const worst = await worstApart(t);
  t.diagnostic(`after the restore, show and music at most ${worst.toFixed(1)} ms apart`);
  assert.ok(worst <= frameMs, `after the restore, show and music up to ${worst.toFixed(1)} ms apart`);
});

test('the overlay ends the show by touch, and Play again plays it from its start with the music', async (t) => {
  await page.tap('#canvas');
  await page.waitForSelector('#overlay:not([hidden])', { timeout: 5000 });
  await page.tap('#overlay [data-key="end"]');
  await waitForState(page, ['ended'], 5000);
  const first = (await page.evaluate(() => window.audioStarts.length));
  await page.tap('#again-button');
  await waitForState(page, ['playing'], 5000);
  await sleep(500);
  const again = await showMs();
  assert.ok(again > 0 && again < 3000, `show time ${again} ms after Play again`);
  assert.ok(await loudest(1500) > 0.01, 'the music plays again');
  const worst = await worstApart(t, first);
  assert.ok(worst <= frameMs, `playing again, show and music up to ${worst.toFixed(1)} ms apart`);
});

test('the show reaches its end screen by itself when the music ends', async () => {
  await page.evaluate(() => Module._lumarq_seek(86000));
  let last = 0;
  for (let waited = 0; waited < 10000 && (await page.evaluate(() => document.body.dataset.state)) === 'playing';
    waited += 100) {
    last = Math.max(last, await showMs());
    await sleep(100);
  }
  assert.equal(await page.evaluate(() => document.body.dataset.state), 'ended');
  assert.ok(last > 87500, `the show ended at ${last} ms, before the music's end`);
  assert.equal(await page.evaluate(() => document.activeElement.id), 'again-button');
});
