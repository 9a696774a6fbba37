// The web release package: dist/lumarq-<version>-web.zip unpacked into a fresh folder holds only
// the one folder with its README, and served as the README says plays its first frame.
import assert from 'node:assert/strict';
import { spawn, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import { test } from 'node:test';
import { launchBrowser, openPage, waitForState } from './browser.mjs';
import { decodePng, notADrawnFrame } from './png.mjs';

const sourceDir = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../..');
const distDir = process.env.LUMARQ_DIST_DIR || path.join(sourceDir, 'dist');
const version = process.env.LUMARQ_VERSION;

async function freePort() {
  const probe = net.createServer();
  await new Promise((resolve) => probe.listen(0, '127.0.0.1', resolve));
  const { port } = probe.address();
  await new Promise((resolve) => probe.close(resolve));
  return port;
}

// Runs the serve command that the README gives (its indented line) in `folder`, on a free port in
// place of the README's, and returns the address the README says to open, with that port.
async function serveAsTheReadmeSays(folder) {
  const readme = fs.readFileSync(path.join(folder, 'README.txt'), 'utf8');
  const command = readme.split('\n').find((line) => /^ {4}\S/.test(line))?.trim();
  const address = readme.match(/http:\/\/[^\s/]+\//)?.[0];
  assert.ok(command && address, `README.txt gives a command to serve the folder and an address to open:\n${readme}`);
  const readmePort = new URL(address).port;
  assert.ok(command.includes(readmePort), `the command (${command}) serves the address's port, ${readmePort}`);
  const port = String(await freePort());
  const server = spawn('sh', ['-c', `exec ${command.replaceAll(readmePort, port)}`], { cwd: folder, stdio: 'ignore' });
  const url = address.replace(`:${readmePort}/`, `:${port}/`);
  for (let waited = 0; ; waited += 100) {
    if ((await fetch(url).catch(() => null))?.ok) break;
    if (waited >= 15000 || server.exitCode !== null) {
      server.kill();
      assert.fail(`${command} serves ${url} within 15 s`);
    }
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
  return { url, close: () => server.kill() };
}

test('the web package, unpacked and served, plays its first frame', async () => {
  const zip = path.join(distDir, `lumarq-${version}-web.zip`);
  assert.ok(fs.existsSync(zip), `${zip} (scripts/release makes it)`);
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'lumarq-web-release-'));
  const browser = await launchBrowser();
  let server;
  try {
    const unpacked = spawnSync('unzip', ['-q', zip, '-d', dir], { encoding: 'utf8' });
    assert.equal(unpacked.status, 0, unpacked.stderr);
    assert.deepEqual(fs.readdirSync(dir), [`lumarq-${version}-web`]);
    const folder = path.join(dir, `lumarq-${version}-web`);

    server = await serveAsTheReadmeSays(folder);
    const { page } = await openPage(browser, { width: 480, height: 270 });
    const failedRequests = [];
    page.on('response', (response) => {
      if (response.status() >= 400) failedRequests.push(`${response.status()} ${response.url()}`);
    });
    await page.goto(server.url);
    assert.equal(await waitForState(page, ['start', 'failed']), 'start');
    await page.click('#start-button');
    await page.waitForFunction(() => Module._lumarq_show_ms() > 500, { timeout: 60000 });
    const notDrawn = notADrawnFrame(decodePng(await page.screenshot()));
    assert.equal(notDrawn, '', notDrawn);
    assert.deepEqual(failedRequests, []);
  } finally {
    await browser.close();
    await server?.close();
    fs.rmSync(dir, { recursive: true, force: true });
  }
});
