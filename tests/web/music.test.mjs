// The music plays and keeps time: with the autoplay policy lifted, an AnalyserNode on OpenAL's
// output hears it, and the music's position, from the times at which the browser was told to play
// its buffers, stays within one frame of the show's clock.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { launchBrowser, openPage, serve, waitForState, webRunDir } from './browser.mjs';

const frameMs = 1000 / 60;
let server, browser, page;
before(async () => {
  server = await serve(webRunDir());
  browser = await launchBrowser({ flags: ['--autoplay-policy=no-user-gesture-required'] });
  ({ page } = await openPage(browser, { width: 480, height: 270 }));
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
  await page.click('#start-button');
  await waitForState(page, ['playing']);
});
after(async () => {
  await browser?.close();
  await server?.close();
});

test('an AnalyserNode on the output hears the music', async (t) => {
  const loudest = await page.evaluate(() => new Promise((resolve) => {
    const context = AL.currentCtx.audioCtx;
    const analyser = context.createAnalyser();
    AL.currentCtx.gain.connect(analyser);
    const samples = new Float32Array(analyser.fftSize);
    let loudest = 0;
    const until = performance.now() + 4000;
    const listen = () => {
      analyser.getFloatTimeDomainData(samples);
      let sum = 0;
      for (const s of samples) sum += s * s;
      loudest = Math.max(loudest, Math.sqrt(sum / samples.length));
      if (performance.now() < until) setTimeout(listen, 50); else resolve(loudest);
    };
    listen();
  }));
  t.diagnostic(`loudest RMS ${loudest.toFixed(3)}`);
  assert.ok(loudest > 0.01, `loudest RMS ${loudest}`);
});

test('the music\'s position stays within one frame of the show time', async (t) => {
  const readings = await page.evaluate(() => new Promise((resolve) => {
    const context = AL.currentCtx.audioCtx;
    const out = [];
    const read = () => {
      // The music's first buffer started at audioStarts[0].when; the later ones follow on.
      const first = window.audioStarts[0];
      out.push({ showMs: Module._lumarq_show_ms(),
                 musicMs: 1000 * (context.currentTime - first.when + first.offset) });
      if (out.length < 100) setTimeout(read, 37); else resolve(out);
    };
    read();
  }));
  const starts = await page.evaluate(() => window.audioStarts);
  // The buffers follow one another without gaps, so the position runs with the context's clock.
  for (let i = 1; i < Math.min(starts.length, 40); ++i) {
    const gap = starts[i].when - (starts[i - 1].when + starts[i - 1].duration);
    assert.ok(Math.abs(gap) < 0.002, `buffer ${i} starts ${(1000 * gap).toFixed(1)} ms off its place`);
  }
  const worst = Math.max(...readings.map((r) => Math.abs(r.showMs - r.musicMs)));
  t.diagnostic(`show and music at most ${worst.toFixed(1)} ms apart over ${readings.length} readings`);
  assert.ok(worst <= frameMs, `show and music up to ${worst.toFixed(1)} ms apart`);
});
