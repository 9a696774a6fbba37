#!/usr/bin/env node
// The web page's file list, written once, by the web build, and read by the page, the release
// script and the tests. node page_files.mjs RUN_DIR PAGE_DIR puts into RUN_DIR, beside the program
// and the data the build made there:
// - the page's scripts and style from PAGE_DIR, and packed (gzip) copies of the program and the
//   models' OBJ text, which shrink to a third and a sixth;
// - lumarq-web.files.json: the build's id and every file a browser fetches, with its size and
//   SHA-256, in the order the page needs them: the page, the program, the data it starts with,
//   then the textures in the order the show needs them (colour maps from the shadow style on,
//   normal maps from the bump style on);
// - index.html from PAGE_DIR's, with that list inside, each script and style under an address
//   that names its content and with its hash for the browser to check.
// Also a module: the tests repack a spoiled copy of the page with writePageFiles.
import crypto from 'node:crypto';
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';

export const listName = 'lumarq-web.files.json';
const pageScripts = ['input.js', 'files.js', 'lumarq.js'];
const pageStyle = 'style.css';
const filesMarker = '<!-- LUMARQ FILES -->';

function sha256(bytes, encoding = 'hex') {
  return crypto.createHash('sha256').update(bytes).digest(encoding);
}

function entry(runDir, file, role, extra = {}) {
  const bytes = fs.readFileSync(path.join(runDir, file));
  return { path: file, size: bytes.length, sha256: sha256(bytes), role, ...extra };
}

// A packed copy of `file` beside it; mtime 0 in the header, so a build packs the same bytes twice.
// The unpacked size and hash come along: a server that sends the packed file with
// Content-Encoding: gzip (Apache's AddEncoding x-gzip .gz) has the browser unpack it on the way.
function packed(runDir, file, role) {
  const bytes = fs.readFileSync(path.join(runDir, file));
  fs.writeFileSync(path.join(runDir, file + '.gz'), zlib.gzipSync(bytes, { level: 9 }));
  return entry(runDir, file + '.gz', role, { unpacked: file, unpackedSize: bytes.length, unpackedSha256: sha256(bytes) });
}

function listFolder(runDir, folder, filter) {
  const dir = path.join(runDir, folder);
  if (!fs.existsSync(dir)) return [];
  return fs.readdirSync(dir).filter((name) => !name.startsWith('.') && filter(name)).sort()
    .map((name) => `${folder}/${name}`);
}

// The textures the materials name: colour maps (map_Kd) first, then normal maps (map_d, which the
// model loader reads as the opacity slot), each in the materials' order.
function textureOrder(runDir) {
  const colour = [];
  const normal = [];
  for (const material of listFolder(runDir, 'models', (name) => name.endsWith('.mtl'))) {
    for (const line of fs.readFileSync(path.join(runDir, material), 'utf8').split('\n')) {
      const [keyword, file] = line.trim().split(/\s+/);
      const list = keyword === 'map_Kd' ? colour : keyword === 'map_d' ? normal : null;
      if (list && file && !list.includes(file)) list.push(file);
    }
  }
  return [...colour, ...normal];
}

export function writePageFiles(runDir, pageDir) {
  for (const file of [...pageScripts, pageStyle]) {
    fs.copyFileSync(path.join(pageDir, file), path.join(runDir, file));
  }
  const files = [
    ...[pageStyle, ...pageScripts].map((file) => entry(runDir, file, 'page')),
    packed(runDir, 'lumarq-web.js', 'program'),
    packed(runDir, 'lumarq-web.wasm', 'program'),
    ...listFolder(runDir, 'shader', () => true).map((file) => entry(runDir, file, 'data')),
    ...listFolder(runDir, 'models', (name) => name.endsWith('.obj')).map((file) => packed(runDir, file, 'data')),
    ...listFolder(runDir, 'models', (name) => name.endsWith('.mtl')).map((file) => entry(runDir, file, 'data')),
    ...listFolder(runDir, 'mp3', (name) => name.endsWith('.mp3')).map((file) => entry(runDir, file, 'data')),
  ];
  for (const texture of textureOrder(runDir)) {
    if (!fs.existsSync(path.join(runDir, texture))) {
      throw new Error(`${texture}, which a material names, is not in ${runDir}: rebuild the models (scripts/build)`);
    }
    files.push(entry(runDir, texture, 'texture'));
  }
  const build = sha256(JSON.stringify(files)).slice(0, 16);

  let page = fs.readFileSync(path.join(pageDir, 'index.html'), 'utf8');
  if (!page.includes(filesMarker)) {
    throw new Error(`${pageDir}/index.html has no ${filesMarker} line for the file list`);
  }
  // The JSON inside a script element: "</" would end the element early.
  const listing = JSON.stringify({ build, files }).replace(/<\//g, '<\\/');
  page = page.replace(filesMarker, `<script id="lumarq-files" type="application/json">${listing}</script>`);
  for (const file of files.filter((entry) => entry.role === 'page')) {
    const attribute = file.path.endsWith('.css') ? 'href' : 'src';
    const integrity = 'sha256-' + sha256(fs.readFileSync(path.join(runDir, file.path)), 'base64');
    page = page.replace(`${attribute}="${file.path}"`,
      `${attribute}="${file.path}?v=${file.sha256.slice(0, 16)}" integrity="${integrity}"`);
  }
  fs.writeFileSync(path.join(runDir, 'index.html'), page);
  const list = { build, files: [entry(runDir, 'index.html', 'page'), ...files] };
  fs.writeFileSync(path.join(runDir, listName), JSON.stringify(list, null, 1) + '\n');
  return list;
}

if (process.argv[1] && path.resolve(process.argv[1]) === new URL(import.meta.url).pathname) {
  if (process.argv.length !== 4) {
    console.error('usage: node page_files.mjs RUN_DIR PAGE_DIR');
    process.exit(2);
  }
  try {
    writePageFiles(process.argv[2], process.argv[3]);
  } catch (error) {
    console.error(`page_files.mjs: ${error.message}`);
    process.exit(1);
  }
}
