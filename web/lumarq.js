// The page around the show's program (lumarq-web.js): the progress bar while the program and its
// start-up data arrive (web/files.js), the start screen whose click, tap or key starts the music
// and the show in full screen, the end screen, the touch overlay, and a message in words, with a
// Reload button, whenever the show cannot run. The canvas fills the visible viewport, letterboxed
// to 16:9 where the viewport is narrower, at the device's pixel density up to a pixel budget.
// index.html?at=MS[&style=toon|shadow|bump] shows the still at that show time instead, and
// index.html?bench=N times N frames of the show (tools/web/web_bench.h). The body's
// data-state says where the page is: loading, start, playing, ended, still (the still is drawn) or
// failed.
'use strict';
(function () {
  if (document.body.dataset.state === 'failed') {
    return;  // index.html said why (a file:// address, a script that did not load)
  }
  // The drawing buffer's pixels at most: a 1080p picture, which a phone's GPU draws in a frame.
  const pixelBudget = 1920 * 1080;
  // How long a notice during the show stays up.
  const noticeShownMs = 8000;
  // How often the page says how far the textures it waits for have come.
  const waitingUpdateMs = 250;

  const query = new URLSearchParams(location.search);
  const stillAt = query.get('at');
  const canvas = document.getElementById('canvas');
  const screens = ['loading', 'start', 'ended', 'message'];
  const input = window.LumarqInput;
  const files = window.LumarqFiles;

  function show(screen) {
    for (const id of screens) {
      document.getElementById(id).hidden = id !== screen;
    }
    const button = screen && document.querySelector(`#${screen} button:not([hidden])`);
    if (button) button.focus();
  }

  function state() {
    return document.body.dataset.state;
  }

  function setState(value) {
    document.body.dataset.state = value;
  }

  function leaveFullScreen() {
    if (document.pointerLockElement) document.exitPointerLock();
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
  }

  // The show cannot go on: `message` says why and what to do; Reload where that may help.
  function fail(message, { reload = false } = {}) {
    if (state() === 'failed') return;
    document.getElementById('message-text').textContent = message;
    document.getElementById('reload-button').hidden = !reload;
    input.hideOverlay();
    setStatus('');
    waitForTextures(false);
    show('message');
    setState('failed');
    leaveFullScreen();
  }
  document.getElementById('reload-button').addEventListener('click', () => location.reload());

  // One line over the show: a notice while it plays, the wait for textures, a lost context.
  let statusTimer = 0;
  let waitingTimer = 0;
  function setStatus(text, shownMs = 0) {
    const status = document.getElementById('status');
    clearTimeout(statusTimer);
    status.textContent = text;
    status.hidden = !text;
    if (text && shownMs > 0) {
      statusTimer = setTimeout(() => { status.hidden = true; }, shownMs);
    }
  }

  // Before the show, on the start screen (and over a still, which has none); during it, for a while.
  function notice(text) {
    if (state() === 'loading' || state() === 'start') {
      const box = document.getElementById('notice');
      box.textContent += (box.textContent ? '\n' : '') + text;
      box.hidden = false;
      if (stillAt !== null) setStatus(box.textContent);
    } else {
      setStatus(text, state() === 'playing' ? noticeShownMs : 0);
    }
  }

  // The canvas's CSS box (style.css letterboxes it) at the device's density, within the budget.
  function fitCanvas() {
    const box = canvas.getBoundingClientRect();
    const width = Math.max(1, box.width);
    const height = Math.max(1, box.height);
    const ratio = Math.min(window.devicePixelRatio || 1, Math.sqrt(pixelBudget / (width * height)));
    canvas.width = Math.max(1, Math.round(width * ratio));
    canvas.height = Math.max(1, Math.round(height * ratio));
  }
  fitCanvas();
  window.addEventListener('resize', fitCanvas);
  if (window.visualViewport) window.visualViewport.addEventListener('resize', fitCanvas);

  if (input.touchFirst) {
    document.body.classList.add('touch');
    document.getElementById('start-button').textContent = 'Tap to start';
  }

  window.addEventListener('error', (event) => {
    fail('The show stopped: ' + (event.message || event.error || 'an error in the page') +
         '. Reload the page to start again.', { reload: true });
  });
  window.addEventListener('unhandledrejection', (event) => {
    const problem = event.reason;
    fail(problem instanceof files.FileProblem ? problem.message
      : 'The show stopped: ' + problem + '. Reload the page to start again.', { reload: true });
  });

  // What the show needs of the browser, said at once. Without WebGL 2 the program still runs, to
  // print the demo's own lines; without a way to unpack its files it cannot.
  const newBrowser = ' Try a current Chrome, Edge, Firefox or Safari, with hardware acceleration on.';
  if (typeof DecompressionStream === 'undefined') {
    fail('This browser cannot show the demo: it cannot unpack the show\'s files (DecompressionStream).' + newBrowser);
    return;
  }
  if (!document.createElement('canvas').getContext('webgl2')) {
    fail('This browser cannot show the demo: it needs WebGL 2, which is switched off or not available here.' +
         newBrowser);
  }
  if (stillAt !== null || query.get('bench') !== null) {
    show(null);
  }

  // Called by the program (tools/web/page.cpp).
  function fromProgram(what, message) {
    switch (what) {
      case 'failed': fail(message); break;
      case 'notice': notice(message); break;
      case 'start':
        if (state() !== 'failed') {
          setStatus('');  // a refused still's notice is on the start screen
          show('start');
          setState('start');
        }
        break;
      case 'ended':
        input.hideOverlay();
        setStatus('');
        waitForTextures(false);
        leaveFullScreen();
        show('ended');
        setState('ended');
        break;
      case 'waiting': waitForTextures(message === 'on'); break;
      // Marked once the drawn frame has reached the screen.
      case 'still': requestAnimationFrame(() => setState('still')); break;
    }
  }

  // While the show (or a still) waits for textures, how far they have come.
  function waitForTextures(waiting) {
    const line = document.getElementById('waiting');
    clearInterval(waitingTimer);
    line.hidden = !waiting;
    if (!waiting) return;
    // Once every byte is in, what is left is decoding and uploading: a share would sit at 100%.
    const say = () => {
      const share = files.textures.share();
      line.textContent = share < 1 ? 'Waiting for the textures… ' + Math.floor(100 * share) + '%' : 'Preparing the textures…';
    };
    say();
    waitingTimer = setInterval(say, waitingUpdateMs);
  }

  files.textures.onProblem = (problem) => fail(problem.message, { reload: true });

  const bar = document.getElementById('bar');
  function progress(share, text) {
    document.getElementById('progress').style.width = (100 * share).toFixed(1) + '%';
    bar.setAttribute('aria-valuenow', Math.round(100 * share));
    document.getElementById('loading-text').textContent = text;
  }

  // The program's data into its file system, before its main() runs.
  function writeFiles(loaded) {
    const fs = Module.FS;
    for (const [path, bytes] of Object.entries(loaded)) {
      const folder = path.substring(0, path.lastIndexOf('/'));
      if (folder) fs.mkdirTree(folder);
      fs.writeFile(path, bytes);
    }
  }

  async function run() {
    progress(0, 'Loading the show… 0%');
    const loaded = await files.loadStart((share) => progress(share, 'Loading the show… ' + Math.round(100 * share) + '%'));
    files.textures.stream();
    // The program compiles and the scene is read and uploaded: seconds on a slow machine, with
    // the page unable to draw meanwhile, so the step is said first.
    bar.removeAttribute('aria-valuenow');
    bar.classList.add('preparing');
    progress(1, 'Preparing the show…');
    await new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0)));

    const args = ['--size', canvas.width + 'x' + canvas.height];
    if (stillAt !== null) {
      args.push('--at', stillAt);
      if (query.get('style') !== null) args.push('--style', query.get('style'));
    }
    if (query.get('bench') !== null) args.push('--bench', query.get('bench'));
    window.Module = {
      canvas,
      arguments: args,
      wasmBinary: loaded['lumarq-web.wasm'],
      preRun: [() => writeFiles(loaded)],
      print: (line) => console.log(line),
      printErr: (line) => console.error(line),
      onAbort: (what) => fail('The show stopped: ' + what + '. Reload the page to start again.', { reload: true }),
      lumarqPage: fromProgram,
      lumarqTextures: files.textures,
      // The drawing buffer's pixels per CSS pixel.
      lumarqPixelRatio: () => canvas.width / Math.max(1, canvas.getBoundingClientRect().width),
    };
    const script = document.createElement('script');
    script.src = URL.createObjectURL(new Blob([loaded['lumarq-web.js']], { type: 'text/javascript' }));
    document.body.appendChild(script);
  }
  run().catch((problem) => {
    fail(problem instanceof files.FileProblem ? problem.message
      : 'The show could not start: ' + problem + '. Reload the page to try again.', { reload: true });
  });

  function enterFullScreen() {
    const root = document.documentElement;
    if (root.requestFullscreen && !document.fullscreenElement) {
      root.requestFullscreen().catch(() => {});  // refused: the show plays in the window
    }
  }

  function play(start) {
    enterFullScreen();
    show(null);
    setState('playing');
    canvas.focus();
    input.keys.clear();  // what was pressed before the show is not the show's
    start();
  }
  document.getElementById('start-button').addEventListener('click', () => play(() => Module._lumarq_start()));
  document.getElementById('again-button').addEventListener('click', () => play(() => Module._lumarq_play_again()));

  // A hidden page pauses the show and its music together; shown again, both go on.
  document.addEventListener('visibilitychange', () => {
    if (window.Module && Module._lumarq_set_hidden) Module._lumarq_set_hidden(document.hidden ? 1 : 0);
  });

  // The free camera ('0') flies with the mouse under pointer lock; the show reads the key itself.
  // Leaving pointer lock by the browser's own Escape hands the camera back to the script.
  let unlocking = false;
  input.onKeyDown((event, key) => {
    if (key !== input.freeCameraKey || event.repeat || state() !== 'playing') return;
    if (Module._lumarq_free_camera()) {
      unlocking = true;
      document.exitPointerLock();
    } else if (canvas.requestPointerLock) {
      canvas.requestPointerLock();
    }
  });
  document.addEventListener('pointerlockchange', () => {
    if (!document.pointerLockElement && !unlocking && state() === 'playing' && Module._lumarq_free_camera()) {
      input.keys.press(input.freeCameraKey);
    }
    unlocking = false;
  });

  // A tap on the show brings up the overlay.
  canvas.addEventListener('pointerdown', (event) => {
    if (event.pointerType === 'touch' && state() === 'playing') input.showOverlay();
  });

  // A lost context: said at once; the program rebuilds its GL objects when the browser gives
  // the context back, and the show, which follows the music meanwhile, goes on where it is.
  canvas.addEventListener('webglcontextlost', (event) => {
    event.preventDefault();  // or the browser never gives it back
    Module._lumarq_graphics_lost();
    setStatus('The browser took the show\'s graphics away (its WebGL context was lost). The music plays on; ' +
              'the picture comes back when the browser gives the graphics back.');
  });
  canvas.addEventListener('webglcontextrestored', () => {
    files.textures.forget();
    Module._lumarq_graphics_restored();
    setStatus('');
  });
})();
