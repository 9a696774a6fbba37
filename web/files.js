// The show's files, as the build listed them in the page (tools/web/page_files.mjs): each one
// fetched under an address that names its content, so no cache can hand over another build's, and
// checked on arrival: present, of its listed length, with its listed SHA-256 (where the browser
// computes one: on https and on this machine's own addresses). The program and its start-up data
// come first, with the progress bar; the textures stream in after them, in the order the show needs
// them, and each is decoded off the main thread and handed to the program when it asks.
'use strict';
window.LumarqFiles = (function () {
  const listing = JSON.parse(document.getElementById('lumarq-files').textContent);

  // A download that failed, in words that name the file and say what to do.
  class FileProblem extends Error {}

  function address(file) {
    return file.path + '?v=' + file.sha256.slice(0, 16);
  }

  function hex(buffer) {
    return Array.from(new Uint8Array(buffer), (byte) => byte.toString(16).padStart(2, '0')).join('');
  }

  const serveAgain = 'Reload the page; if it happens again, the show on the server is incomplete: copy the whole ' +
    'folder there again.';

  // The bytes of `file`, checked; `progress(bytes)` hears each piece as it arrives.
  async function fetchChecked(file, progress) {
    let response;
    try {
      response = await fetch(address(file));
    } catch (error) {
      throw new FileProblem(`The show could not download ${file.path}: the server did not answer (${error.message}). ` +
        'Check the connection and reload the page.');
    }
    if (!response.ok) {
      throw new FileProblem(`The show's file ${file.path} is missing on the server (HTTP ${response.status} ` +
        `${response.statusText}). ${serveAgain}`);
    }
    const type = response.headers.get('Content-Type') || '';
    const reader = response.body.getReader();
    const pieces = [];
    let length = 0;
    try {
      for (;;) {
        const { done, value } = await reader.read();
        if (done) break;
        pieces.push(value);
        length += value.length;
        progress(value.length);
      }
    } catch (error) {
      throw new FileProblem(`The download of the show's file ${file.path} broke off (${error.message}). ` +
        'Check the connection and reload the page.');
    }
    const bytes = new Uint8Array(length);
    let at = 0;
    for (const piece of pieces) {
      bytes.set(piece, at);
      at += piece.length;
    }
    if (type.startsWith('text/html') && !file.path.endsWith('.html')) {
      throw new FileProblem(`The server sent a web page in place of the show's file ${file.path}: the file is not ` +
        `where the page looks for it, or the server answers every missing file with a page. ${serveAgain}`);
    }
    if (length !== file.size) {
      throw new FileProblem(`The show's file ${file.path} arrived with ${length} bytes instead of ${file.size}: ` +
        `it is cut short or from another build. ${serveAgain}`);
    }
    if (window.crypto && crypto.subtle) {
      if (hex(await crypto.subtle.digest('SHA-256', bytes)) !== file.sha256) {
        throw new FileProblem(`The show's file ${file.path} is not this build's (its SHA-256 differs): an old copy ` +
          `from a cache, or two builds mixed on the server. ${serveAgain}`);
      }
    }
    return bytes;
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
    const loaded = await Promise.all(files.map(async (file) => {
      const bytes = await fetchChecked(file, (piece) => {
        arrived += piece;
        progress(arrived / total);
      });
      return [file.unpacked || file.path, file.unpacked ? await gunzip(file, bytes) : bytes];
    }));
    return Object.fromEntries(loaded);
  }

  // The pixels uploaded in one turn: a few milliseconds' work even for a software GPU.
  const uploadStripBytes = 256 * 1024;

  // Decoding a texture off the main thread, to exact 8-bit RGBA (no colour conversion, alpha not
  // premultiplied), the bottom row first as GL takes it: on the main thread, the browser's own
  // upload of a decoded image holds the page up for a fifth of a second, long enough for the
  // music's scheduling to fall behind.
  function decoderMain() {
    self.onmessage = async (event) => {
      const { id, blob } = event.data;
      try {
        const image = await createImageBitmap(blob,
          { imageOrientation: 'flipY', premultiplyAlpha: 'none', colorSpaceConversion: 'none' });
        const canvas = new OffscreenCanvas(image.width, image.height);
        const context = canvas.getContext('2d', { willReadFrequently: true });
        context.drawImage(image, 0, 0);
        const pixels = new Uint8Array(context.getImageData(0, 0, image.width, image.height).data.buffer);
        self.postMessage({ id, width: image.width, height: image.height, pixels }, [pixels.buffer]);
        image.close();
      } catch (error) {
        self.postMessage({ id, error: error.message });
      }
    };
  }
  let decoder = null;
  let decodingCount = 0;
  const decodings = new Map();  // id -> { resolve, reject }
  function decode(blob) {
    if (!decoder) {
      decoder = new Worker(URL.createObjectURL(new Blob([`(${decoderMain})()`], { type: 'text/javascript' })));
      decoder.onmessage = (event) => {
        const { id, error } = event.data;
        const pending = decodings.get(id);
        decodings.delete(id);
        if (error) pending.reject(new Error(error)); else pending.resolve(event.data);
      };
    }
    const id = ++decodingCount;
    return new Promise((resolve, reject) => {
      decodings.set(id, { resolve, reject });
      decoder.postMessage({ id, blob });
    });
  }

  // The textures: fetched one after another in the listed order, then decoded when the program
  // wants them (want), each time it wants them (a restored context wants them all again).
  const textures = {
    files: listing.files.filter((file) => file.role === 'texture'),
    arrived: new Map(),  // path -> Blob
    wanted: [],          // { path, name, upload } not yet uploaded
    ready: new Set(),    // texture names uploaded
    failure: null,       // a FileProblem that stopped the stream
    generation: 0,       // counts lost contexts
    bytesArrived: 0,
    onProblem: null,

    // Bytes of the textures still to come, over all of them.
    share() {
      const total = this.files.reduce((sum, file) => sum + file.size, 0);
      return total > 0 ? this.bytesArrived / total : 1;
    },

    // From the program (src/assets/texture_pixels_web.cpp): `upload(image)` fills texture `name`.
    want(path, name, upload) {
      if (!this.files.some((file) => file.path === path)) {
        // As the desktop's decoder says of a file it cannot open; the texture keeps its placeholder.
        Module.print('decoder error 48: empty input or file doesn\'t exist');
        this.ready.add(name);
        return;
      }
      this.wanted.push({ path, name, upload, generation: this.generation });
      this.decodeArrived();
    },

    isReady(name) {
      return this.ready.has(name);
    },

    // After a lost context: the old names mean nothing, and the program wants every texture again.
    forget() {
      this.wanted = [];
      this.ready.clear();
      ++this.generation;
    },

    decodeArrived() {
      const waiting = this.wanted.filter((entry) => this.arrived.has(entry.path));
      this.wanted = this.wanted.filter((entry) => !this.arrived.has(entry.path));
      for (const entry of waiting) {
        decode(this.arrived.get(entry.path))
          .then((image) => {
            this.uploads.push({ entry, image, row: 0 });
            this.pumpUploads();
          }, (error) => {
            this.fail(new FileProblem(`The show's texture ${entry.path} could not be decoded (${error.message}). ` +
              serveAgain));
          });
      }
    },

    // One strip of an upload an animation frame: on a GPU that the CPU emulates, a whole texture's
    // upload holds the page's frames, and the music's scheduling with them, for a fifth of a second.
    uploads: [],  // { entry, image, row }
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
        const { entry, image } = upload;
        if (entry.generation !== this.generation) {
          this.uploads.shift();  // wanted by a lost context
        } else {
          const rows = Math.min(Math.max(1, Math.floor(uploadStripBytes / (4 * image.width))), image.height - upload.row);
          entry.upload(image, upload.row, rows);
          upload.row += rows;
          if (upload.row === image.height) {
            this.uploads.shift();
            this.ready.add(entry.name);
          }
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

    async stream() {
      for (const file of this.files) {
        try {
          const bytes = await fetchChecked(file, (piece) => { this.bytesArrived += piece; });
          this.arrived.set(file.path, new Blob([bytes], { type: 'image/png' }));
        } catch (problem) {
          this.fail(problem);
          return;
        }
        this.decodeArrived();
      }
    },
  };

  return { listing, FileProblem, loadStart, textures };
})();
