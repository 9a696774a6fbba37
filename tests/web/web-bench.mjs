#!/usr/bin/env node
// The page's frame times beside lumarq-bench's: --frames N --size WxH opens index.html?bench=N in
// headless Chromium at that size and prints the page's median frame time per style (the frames that
// lumarq-bench --frames N times, each drawn and finished; tools/web/web_bench.h). --renderer
// swiftshader takes SwiftShader's WebGL in place of ANGLE over Mesa.
import { launchBrowser, openPage, serve, webRunDir } from './browser.mjs';

const options = { frames: '300', size: '1280x720', renderer: 'angle' };
const argv = process.argv.slice(2);
for (let i = 0; i + 1 < argv.length; i += 2) {
  const name = argv[i].replace(/^--/, '');
  if (!(name in options)) {
    console.error(`web-bench: unknown option ${argv[i]}`);
    process.exit(2);
  }
  options[name] = argv[i + 1];
}
const [width, height] = options.size.split('x').map(Number);
const server = await serve(webRunDir());
const browser = await launchBrowser({ renderer: options.renderer });
let failed = true;
try {
  const { page, lines } = await openPage(browser, { width, height });
  await page.goto(`${server.url}index.html?bench=${options.frames}`);
  for (let waited = 0; waited < 1800000; waited += 500) {
    if (lines.some((line) => line.text === 'lumarq-web bench: done')) {
      failed = false;
      break;
    }
    if (await page.evaluate(() => document.body.dataset.state) === 'failed') break;
    await new Promise((resolve) => setTimeout(resolve, 500));
  }
  for (const line of lines.filter((line) => line.text.startsWith('lumarq-web bench: '))) console.log(line.text);
  if (failed) console.error('web-bench: the page did not finish:\n' + lines.map((line) => line.text).join('\n'));
} finally {
  await browser.close();
  await server.close();
}
process.exit(failed ? 1 : 0);
