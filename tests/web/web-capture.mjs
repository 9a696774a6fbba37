#!/usr/bin/env node
// Stills of the web page, with the capture's command line: --at MS,... --size WxH --out DIR writes
// DIR/frame-MS.png for each time, each the page's ?at=MS still screenshotted in headless Chromium
// at that size. --renderer swiftshader takes SwiftShader's WebGL in place of ANGLE over Mesa.
// The stills test (stills.test.mjs) runs it beside lumarq-capture at the same times and size.
import fs from 'node:fs';
import { launchBrowser, openPage, serve, waitForState, webRunDir } from './browser.mjs';

const options = { at: [], size: '1280x720', out: '.', renderer: 'angle' };
const argv = process.argv.slice(2);
for (let i = 0; i + 1 < argv.length; i += 2) {
  const value = argv[i + 1];
  switch (argv[i]) {
    case '--at': options.at = value.split(','); break;
    case '--size': options.size = value; break;
    case '--out': options.out = value; break;
    case '--renderer': options.renderer = value; break;
    default:
      console.error(`web-capture: unknown option ${argv[i]}`);
      process.exit(2);
  }
}
const [width, height] = options.size.split('x').map(Number);
fs.mkdirSync(options.out, { recursive: true });

const server = await serve(webRunDir());
const browser = await launchBrowser({ renderer: options.renderer });
let failed = false;
try {
  for (const at of options.at) {
    const { page, lines } = await openPage(browser, { width, height });
    await page.goto(`${server.url}index.html?at=${at}`);
    const state = await waitForState(page, ['still', 'failed']);
    if (state !== 'still') {
      console.error(`web-capture: the still at ${at} ms failed:\n` + lines.map((l) => l.text).join('\n'));
      failed = true;
    } else {
      await page.screenshot({ path: `${options.out}/frame-${at}.png` });
    }
    await page.close();
  }
} finally {
  await browser.close();
  await server.close();
}
process.exit(failed ? 1 : 0);
