#!/usr/bin/env node
// The page's memory peaks in headless Chromium: the live bytes of the page's and its texture
// decoder's JavaScript heaps with their array buffers (each collected before it is read), and the
// program's wasm memory, read every --every ms (default 250) over the whole show played from its
// start to its end screen, then over a lost context restored in the bump style. Prints one line
// for each: "<what>: heaps <MiB> MiB at the peak (<MiB> before), wasm <MiB> MiB". Serves
// LUMARQ_WEB_RUN_DIR, or the folder given with --run-dir.
import { launchBrowser, openPage, serve, waitForState, webRunDir } from './browser.mjs';

const options = { runDir: webRunDir(), every: 250 };
const argv = process.argv.slice(2);
for (let i = 0; i + 1 < argv.length; i += 2) {
  if (argv[i] === '--run-dir') options.runDir = argv[i + 1];
  else if (argv[i] === '--every') options.every = Number(argv[i + 1]);
  else {
    console.error(`web-memory: unknown option ${argv[i]}`);
    process.exit(2);
  }
}

const server = await serve(options.runDir);
const browser = await launchBrowser({ flags: ['--autoplay-policy=no-user-gesture-required'] });
const mib = (bytes) => (bytes / 2 ** 20).toFixed(1);
try {
  const { page } = await openPage(browser, { width: 1280, height: 720 });
  const read = async () => {
    let heaps = 0;
    for (const client of [await page.createCDPSession(), ...page.workers().map((worker) => worker.client)]) {
      await client.send('HeapProfiler.collectGarbage');
      const usage = await client.send('Runtime.getHeapUsage');
      heaps += usage.usedSize + (usage.backingStorageSize || 0);
    }
    return { heaps, wasm: await page.evaluate(() => HEAP8.length) };
  };
  // The peak from `begin()` until `until()` comes true.
  const peakUntil = async (what, begin, until) => {
    const before = await read();
    await begin();
    let peak = before;
    while (!(await until())) {
      const now = await read();
      peak = { heaps: Math.max(peak.heaps, now.heaps), wasm: Math.max(peak.wasm, now.wasm) };
      await new Promise((resolve) => setTimeout(resolve, options.every));
    }
    console.log(`${what}: heaps ${mib(peak.heaps)} MiB at the peak (${mib(before.heaps)} before), ` +
      `wasm ${mib(peak.wasm)} MiB`);
  };
  await page.goto(server.url);
  await waitForState(page, ['start']);
  await peakUntil('the whole show', async () => {
    await page.click('#start-button');
    await waitForState(page, ['playing'], 10000);
  }, () => page.evaluate(() => document.body.dataset.state === 'ended'));

  await page.click('#again-button');
  await waitForState(page, ['playing'], 10000);
  await page.keyboard.press('3');
  await page.waitForFunction(() => Module._lumarq_style() === 2 && document.getElementById('waiting').hidden,
    { timeout: 60000 });
  await peakUntil('a restore in the bump style', async () => {
    await page.evaluate(() => {
      window.loseContext = Module.ctx.getExtension('WEBGL_lose_context');
      window.loseContext.loseContext();
    });
    await page.waitForFunction(() => Module.ctx.isContextLost(), { timeout: 5000 });
    await page.evaluate(() => window.loseContext.restoreContext());
    await page.waitForFunction(() => !document.getElementById('waiting').hidden, { timeout: 10000 });
  }, () => page.evaluate(() => document.getElementById('waiting').hidden));
} finally {
  await browser.close();
  await server.close();
}
