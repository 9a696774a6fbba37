// The show's files, as the build listed them in the page (tools/web/page_files.mjs): each one
// fetched under an address that names its content, so no cache can hand over another build's, and
// checked on arrival: present, of its listed length, with its listed SHA-256 (where the browser
// computes one: on https and on this machine's own addresses). The program and its start-up data
// come first, with the progress bar; the textures stream in after them, in the order the show needs
// them, and each is decoded off the main thread and handed to the program when it asks.
'use strict';
window.LumarqFiles = (function () {
  const listing = JSON.parse(document.getElementById('lumarq-files').textContent);

  // How long a download may go without a byte before the page gives up on it: longer than a slow
  // mobile link's pauses, short enough that the viewer is not left looking at a bar that never moves.
  const stallMs = 20000;
  // A texture download that breaks mid-show is tried again after each of these pauses: a dropped
  // link or a server's hiccup often mends within a second or two.
  const retryPausesMs = [500, 1500];
  // Textures decoded and not yet uploaded, at most: one uploading while the next decodes. Each is
  // up to 16 MiB of RGBA; all at once would be a quarter of a phone's page memory.
  const decodedAtMost = 2;

  // A download that failed, in words that name the file and say what to do; `retry` where trying
  // again may help.
  class FileProblem extends Error {
    constructor(message, retry = true) {
      super(message);
      this.retry = retry;
    }
  }

  function address(file) {
    return file.path + '?v=' + file.sha256.slice(0, 16);
  }

  function hex(buffer) {
    return Array.from(new Uint8Array(buffer), (byte) => byte.toString(16).padStart(2, '0')).join('');
  }

  const serveAgain = 'Reload the page; if it happens again, the show on the server is incomplete: copy the whole ' +
    'folder there again.';

  // A watch over downloads that run together: when none of them has had a byte for stallMs, all
  // are aborted. (A file that the browser queues behind others gets no byte for a while.)
  function stallWatch() {
    const watch = {
      abort: new AbortController(),
      stalled: false,
      timer: 0,
      feed() {
        clearTimeout(this.timer);
        this.timer = setTimeout(() => {
          this.stalled = true;
          this.abort.abort();
        }, stallMs);
      },
      stop() {
        clearTimeout(this.timer);
      },
    };
    watch.feed();
    return watch;
  }

  // The bytes of `file`, checked: { bytes, unpacked } where `unpacked` says that the server sent a
  // packed file with Content-Encoding and the browser unpacked it. `progress(bytes)` hears each
  // piece as it arrives, counted as the listed file's bytes; `watch` (stallWatch) hears it too.
  async function fetchChecked(file, progress, watch) {
    const stallProblem = () => new FileProblem(`The download of the show's file ${file.path} stalled: nothing ` +
      `arrived for ${stallMs / 1000} seconds. Check the connection and reload the page.`, false);
    let response;
    try {
      response = await fetch(address(file), { signal: watch.abort.signal });
    } catch (error) {
      throw watch.stalled ? stallProblem() : new FileProblem(`The show could not download ${file.path}: the server ` +
        `did not answer (${error.message}). Check the connection and reload the page.`);
    }
    if (!response.ok) {
      throw new FileProblem(`The show's file ${file.path} is missing on the server (HTTP ${response.status} ` +
        `${response.statusText}). ${serveAgain}`);
    }
    const type = response.headers.get('Content-Type') || '';
    const encoded = file.unpacked && /gzip/i.test(response.headers.get('Content-Encoding') || '');
    const share = encoded ? file.size / file.unpackedSize : 1;
    const reader = response.body.getReader();
    const pieces = [];
    let length = 0;
    watch.feed();
    try {
      for (;;) {
        const { done, value } = await reader.read();
        if (done) break;
        watch.feed();
        pieces.push(value);
        length += value.length;
        progress(value.length * share);
      }
    } catch (error) {
      throw watch.stalled ? stallProblem() : new FileProblem(`The download of the show's file ${file.path} broke off ` +
        `(${error.message}). Check the connection and reload the page.`);
    }
    const bytes = new Uint8Array(length);
    let at = 0;
    for (const piece of pieces) {
      bytes.set(piece, at);
      at += piece.length;
    }
    if (type.startsWith('text/html') && !file.path.endsWith('.html')) {
      throw new FileProblem(`The server sent a web page in place of the show's file ${file.path}: the file is ` +
        `not where the page looks for it, or the server answers every missing file with a page. ${serveAgain}`);
    }
    const unpacked = length !== file.size && file.unpacked !== undefined && length === file.unpackedSize;
    if (length !== file.size && !unpacked) {
      throw new FileProblem(`The show's file ${file.path} arrived with ${length} bytes instead of ${file.size}: ` +
        `it is cut short or from another build. ${serveAgain}`);
    }
    if (window.crypto && crypto.subtle) {
      if (hex(await crypto.subtle.digest('SHA-256', bytes)) !== (unpacked ? file.unpackedSha256 : file.sha256)) {
        throw new FileProblem(`The show's file ${file.path} is not this build's (its SHA-256 differs): an old ` +
          `copy from a cache, or two builds mixed on the server. ${serveAgain}`);
      }
    }
    return { bytes, unpacked };
  }

  async function gunzip(file, bytes) {
    try {
      const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip'));
      return new Uint8Array(await new Response(stream).arrayBuffer());
    } catch (error) {
      throw new FileProblem(`The show's file ${file.path} could not be unpacked (${error.message}). ${serveAgain}`);
    }
  }

  // The program and the data it starts with, fetched at once: resolves to { path: bytes } with each
  // file under the name the program reads (packed files unpacked). `progress(share)` runs from 0
  // to 1 over the bytes.
  async function loadStart(progress) {
    const files = listing.files.filter((file) => file.role === 'program' || file.role === 'data');
    const total = files.reduce((sum, file) => sum + file.size, 0);
    let arrived = 0;
    const watch = stallWatch();
    try {
      const loaded = await Promise.all(files.map(async (file) => {
        const { bytes, unpacked } = await fetchChecked(file, (piece) => {
          arrived += piece;
          progress(Math.min(1, arrived / total));
        }, watch);
        return [file.unpacked || file.path, file.unpacked && !unpacked ? await gunzip(file, bytes) : bytes];
      }));
      return Object.fromEntries(loaded);
    } finally {
      watch.stop();
    }
  }

  // The pixels uploaded in one turn: a few milliseconds' work even for a software GPU.
  const uploadStripBytes = 256 * 1024;

  // Decoding a texture off the main thread, to exact 8-bit RGBA (no colour conversion, alpha not
  // premultiplied), the bottom row first as GL takes it: on the main thread, the browser's own
  // upload of a decoded image holds the page up for a fifth of a second, long enough for the
  // music's scheduling to fall behind. One image at a time, each copy let go once the next is made.
  function decoderMain() {
    let queue = Promise.resolve();
    async function decodeOne({ id, blob }) {
      try {
        const image = await createImageBitmap(blob,
          { imageOrientation: 'flipY', premultiplyAlpha: 'none', colorSpaceConversion: 'none' });
        const { width, height } = image;
        const canvas = new OffscreenCanvas(width, height);
        const context = canvas.getContext('2d', { willReadFrequently: true });
        context.drawImage(image, 0, 0);
        image.close();
        const pixels = new Uint8Array(context.getImageData(0, 0, width, height).data.buffer);
        canvas.width = canvas.height = 1;
        self.postMessage({ id, width, height, pixels }, [pixels.buffer]);
      } catch (error) {
        self.postMessage({ id, error: error.message });
      }
    }
    self.onmessage = (event) => {
      queue = queue.then(() => decodeOne(event.data));
    };
  }
  let decoder = null;
  let decodingCount = 0;
  const decodings = new Map();  // id -> { resolve, reject }
  // Every decode waiting on a decoder that could not run fails with `why`.
  function decoderFailed(why) {
    for (const pending of decodings.values()) pending.reject(new Error(why));
    decodings.clear();
    decoder = null;
  }
  function startDecoder() {
    try {
      decoder = new Worker(URL.createObjectURL(new Blob([`(${decoderMain})()`], { type: 'text/javascript' })));
    } catch (error) {
      decoder = null;
      return error.message;
    }
    decoder.onmessage = (event) => {
      const { id, error } = event.data;
      const pending = decodings.get(id);
      decodings.delete(id);
      if (error) pending.reject(new Error(error)); else pending.resolve(event.data);
    };
    decoder.onerror = (event) => {
      event.preventDefault();
      decoderFailed(`the page's texture decoder stopped: ${event.message || 'it could not start'}`);
    };
    return '';
  }
  function decode(blob) {
    const why = decoder ? '' : startDecoder();
    const id = ++decodingCount;
    return new Promise((resolve, reject) => {
      if (why) {
        reject(new Error(`the page's texture decoder could not start: ${why}`));
        return;
      }
      decodings.set(id, { resolve, reject });
      decoder.postMessage({ id, blob });
    });
  }

  // The textures: fetched one after another in the listed order (the order the show needs them),
  // kept packed, then decoded when the program wants them (want), each time it wants them (a
  // restored context wants them all again): one decode for every texture that takes the file, in
  // the listed order, and at most `decodedAtMost` decoded images alive at once.
  const textures = {
    files: listing.files.filter((file) => file.role === 'texture'),
    arrived: new Map(),  // path -> Blob of the PNG
    wanted: new Map(),   // path -> [{ name, upload, generation }] not yet decoding
    ready: new Set(),    // texture names uploaded
    failure: null,       // a FileProblem that stopped the stream
    generation: 0,       // counts lost contexts
    decoded: 0,          // images decoding or uploading
    bytesArrived: 0,
    onProblem: null,

    // Bytes of the textures still to come, over all of them.
    share() {
      const total = this.files.reduce((sum, file) => sum + file.size, 0);
      return total > 0 ? Math.min(1, this.bytesArrived / total) : 1;
    },

    // From the program (src/assets/texture_pixels_web.cpp): `upload(image, row, rows)` fills
    // texture `name`.
    want(path, name, upload) {
      if (!this.files.some((file) => file.path === path)) {
        // As the desktop's decoder says of a file it cannot open; the texture keeps its placeholder.
        Module.print('decoder error 48: empty input or file doesn\'t exist');
        this.ready.add(name);
        return;
      }
      if (!this.wanted.has(path)) this.wanted.set(path, []);
      this.wanted.get(path).push({ name, upload, generation: this.generation });
      this.decodeArrived();
    },

    isReady(name) {
      return this.ready.has(name);
    },

    // After a lost context: the old names mean nothing, and the program wants every texture again.
    forget() {
      this.wanted.clear();
      this.ready.clear();
      ++this.generation;
    },

    decodeArrived() {
      for (const file of this.files) {
        if (this.decoded >= decodedAtMost || this.failure) return;
        const targets = this.wanted.get(file.path);
        if (!targets || !this.arrived.has(file.path)) continue;
        this.wanted.delete(file.path);
        ++this.decoded;
        decode(this.arrived.get(file.path)).then((image) => {
          this.uploads.push({ targets, image, row: 0 });
          this.pumpUploads();
        }, (error) => {
          this.fail(new FileProblem(`The show's texture ${file.path} could not be decoded (${error.message}). ` +
            serveAgain, false));
        });
      }
    },

    // One strip of an upload an animation frame: on a GPU that the CPU emulates, a whole texture's
    // upload holds the page's frames, and the music's scheduling with them, for a fifth of a second.
    uploads: [],  // { targets, image, row }
    pumping: false,
    pumpUploads() {
      if (this.pumping) return;
      this.pumping = true;
      const turn = () => {
        const upload = this.uploads[0];
        if (!upload) {
          this.pumping = false;
          return;
        }
        const { image } = upload;
        // Those wanted before a lost context are gone with it.
        const targets = upload.targets.filter((target) => target.generation === this.generation);
        const rows = Math.min(Math.max(1, Math.floor(uploadStripBytes / (4 * image.width))), image.height - upload.row);
        for (const target of targets) target.upload(image, upload.row, rows);
        upload.row += rows;
        if (upload.row === image.height || targets.length === 0) {
          this.uploads.shift();  // and with it the pixels
          for (const target of targets) this.ready.add(target.name);
          --this.decoded;
          this.decodeArrived();
        }
        requestAnimationFrame(turn);
      };
      requestAnimationFrame(turn);
    },

    fail(problem) {
      if (!this.failure) {
        this.failure = problem;
        if (this.onProblem) this.onProblem(problem);
      }
    },

    // A texture's bytes, tried again after a short pause when its download breaks.
    async fetchTexture(file) {
      for (let attempt = 0; ; ++attempt) {
        let counted = 0;
        const watch = stallWatch();
        try {
          return (await fetchChecked(file, (piece) => {
            counted += piece;
            this.bytesArrived += piece;
          }, watch)).bytes;
        } catch (problem) {
          this.bytesArrived -= counted;
          if (!(problem instanceof FileProblem) || !problem.retry || attempt === retryPausesMs.length) throw problem;
          await new Promise((resolve) => setTimeout(resolve, retryPausesMs[attempt]));
        } finally {
          watch.stop();
        }
      }
    },

    async stream() {
      for (const file of this.files) {
        try {
          const bytes = await this.fetchTexture(file);
          this.arrived.set(file.path, new Blob([bytes], { type: 'image/png' }));
        } catch (problem) {
          this.fail(problem instanceof FileProblem ? problem : new FileProblem(String(problem), false));
          return;
        }
        this.decodeArrived();
      }
    },
  };

  return { listing, FileProblem, loadStart, textures };
})();
