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
  // How long the sound must stay stopped before the page takes it as taken by the system: the
  // show's own pauses (a texture wait) stop it and start it again well within this.
  const soundStopSettleMs = 500;

  const query = new URLSearchParams(location.search);
  const stillAt = query.get('at');
  const benchFrames = query.get('bench');
  const canvas = document.getElementById('canvas');
  const screens = ['loading', 'start', 'ended', 'message'];
  const input = window.LumarqInput;
  const files = window.LumarqFiles;
  // The program's functions may be called once its main() has run (postRun).
  let programReady = false;

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

  // The show cannot go on: `message` says why and what to do; Reload where that may help. The
  // frames and the music stop with it, and no later screen takes its place.
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
    if (programReady) Module._lumarq_stop();
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
  // Setting the size clears the picture: while the show holds a frame (waiting for textures), the
  // new size waits until it draws again, and a still is drawn again at once.
  let resizeHeld = false;
  function fitCanvas() {
    if (!document.getElementById('waiting').hidden) {
      resizeHeld = true;
      return;
    }
    const box = canvas.getBoundingClientRect();
    const width = Math.max(1, box.width);
    const height = Math.max(1, box.height);
    const ratio = Math.min(window.devicePixelRatio || 1, Math.sqrt(pixelBudget / (width * height)));
    const pixelWidth = Math.max(1, Math.round(width * ratio));
    const pixelHeight = Math.max(1, Math.round(height * ratio));
    if (canvas.width === pixelWidth && canvas.height === pixelHeight) return;
    canvas.width = pixelWidth;
    canvas.height = pixelHeight;
    if (stillAt !== null && programReady && state() !== 'failed') Module._lumarq_still_redraw();
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

  // A host whose Content-Security-Policy refuses what the show is made of: the program is started
  // from a blob: address and compiled as WebAssembly, and its textures decode in a blob: worker.
  // The policy is named, whatever the failure it caused has said.
  document.addEventListener('securitypolicyviolation', (event) => {
    const blocked = String(event.blockedURI || '');
    if (event.disposition !== 'enforce' || !/^(blob|wasm-eval|eval)/.test(blocked)) return;
    const what = blocked.startsWith('blob') ? 'scripts from blob: addresses' : 'compiling WebAssembly';
    const text = `This page's Content-Security-Policy refuses ${what} (its ${event.effectiveDirective}), and the ` +
      'show needs it: the show\'s program and texture decoder start from blob: addresses and are WebAssembly and ' +
      'workers. The site must allow blob: in script-src and worker-src, and \'wasm-unsafe-eval\' in script-src, ' +
      'for this page.';
    if (state() === 'failed') {
      document.getElementById('message-text').textContent = text;
    } else {
      fail(text);
    }
  });

  // What the show needs of the browser, said at once, before anything is downloaded.
  const newBrowser = ' Try a current Chrome, Edge, Firefox or Safari, with hardware acceleration on.';
  if (typeof DecompressionStream === 'undefined') {
    fail('This browser cannot show the demo: it cannot unpack the show\'s files (DecompressionStream).' + newBrowser);
    return;
  }
  if (!document.createElement('canvas').getContext('webgl2')) {
    fail('This browser cannot show the demo: it needs WebGL 2, which is switched off or not available here.' +
         newBrowser);
    return;
  }

  // Called by the program (tools/web/page.cpp). Once the page has failed, the failure stays.
  function fromProgram(what, message) {
    if (state() === 'failed') return;
    switch (what) {
      case 'failed': fail(message); break;
      case 'notice': notice(message); break;
      case 'start':
        setStatus('');  // a refused still's notice is on the start screen
        show('start');
        setState('start');
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
      case 'still': requestAnimationFrame(() => state() !== 'failed' && setState('still')); break;
    }
  }

  // While the show (or a still) waits for textures, how far they have come. When the wait ends,
  // a size that changed meanwhile is taken before the next frame is drawn.
  function waitForTextures(waiting) {
    const line = document.getElementById('waiting');
    clearInterval(waitingTimer);
    line.hidden = !waiting;
    if (!waiting) {
      if (resizeHeld) {
        resizeHeld = false;
        fitCanvas();
      }
      return;
    }
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

  // The program's AudioContext, once it has one (a still has none).
  function audio() {
    return programReady && Module.lumarqAudioContext ? Module.lumarqAudioContext() : null;
  }

  // The program has run its main(): it may be called now. The page may have been hidden, resized
  // or rotated while it compiled, which it could not be told.
  function programStarted() {
    programReady = true;
    if (state() === 'failed') {
      Module._lumarq_stop();
      return;
    }
    if (document.hidden) Module._lumarq_set_hidden(1);
    // A still or a bench draws now; a ?at= that the program refused has brought the start screen.
    if ((stillAt !== null || benchFrames !== null) && state() === 'loading') show(null);
    fitCanvas();
    const context = audio();
    if (context) context.addEventListener('statechange', () => soundChanged(context));
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
    if (benchFrames !== null) args.push('--bench', benchFrames);
    window.Module = {
      canvas,
      arguments: args,
      wasmBinary: loaded['lumarq-web.wasm'],
      preRun: [() => writeFiles(loaded)],
      postRun: [programStarted],
      print: (line) => console.log(line),
      printErr: (line) => console.error(line),
      onAbort: (what) => fail('The show stopped: ' + what + '. Reload the page to start again.', { reload: true }),
      lumarqPage: fromProgram,
      lumarqTextures: files.textures,
    };
    const script = document.createElement('script');
    script.src = URL.createObjectURL(new Blob([loaded['lumarq-web.js']], { type: 'text/javascript' }));
    // Refused by a Content-Security-Policy (which the handler above names) or not run at all.
    script.onerror = () => fail('The browser did not run the show\'s program, which the page starts from a blob: ' +
      'address: a Content-Security-Policy or an extension may refuse it. Reload the page to try again.', { reload: true });
    document.body.appendChild(script);
  }
  run().catch((problem) => {
    fail(problem instanceof files.FileProblem ? problem.message
      : 'The show could not start: ' + problem + '. Reload the page to try again.', { reload: true });
  });

  function enterFullScreen() {
    const root = document.documentElement;
    if (root.requestFullscreen && document.fullscreenEnabled && !document.fullscreenElement) {
      root.requestFullscreen().catch(() => {});  // refused: the show plays in the window
    }
  }

  // The sound stopped while the show played on a visible page (Safari's "interrupted", a call,
  // headphones unplugged): the show holds with the music until a tap, click or key, within which
  // the page may start the sound again; both go on from where they held. Sound that starts only
  // after the show gave up waiting for it joins the show.
  let soundStopped = false;
  let soundSettle = 0;
  function soundChanged(context) {
    clearTimeout(soundSettle);
    if (context.state === 'running') {
      if (soundStopped) {
        soundStopped = false;
        setStatus('');
        Module._lumarq_sound_stopped(0);
      }
      Module._lumarq_sound_started();  // a slow start that the show did not wait for
      return;
    }
    soundSettle = setTimeout(() => {
      if (soundStopped || context.state === 'running' || state() !== 'playing' || document.hidden) return;
      // The program answers 0 where it stopped the sound itself (the page hidden, textures on their way).
      if (Module._lumarq_sound_stopped(1)) {
        soundStopped = true;
        setStatus('The sound stopped (the system took it: a call, another app, or headphones unplugged). The ' +
                  'show waits with the music: tap, click or press a key to go on.');
      }
    }, soundStopSettleMs);
  }
  function resumeStoppedSound() {
    const context = audio();
    if (soundStopped && context) context.resume().catch(() => {});
  }
  window.addEventListener('pointerup', resumeStoppedSound, true);
  input.onKeyDown(resumeStoppedSound);

  function play(start) {
    // Within the viewer's click, tap or key: a browser that holds sound back lets the page's
    // AudioContext start only here.
    const context = audio();
    if (context && context.state !== 'running') context.resume().catch(() => {});
    soundStopped = false;
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
    if (programReady) Module._lumarq_set_hidden(document.hidden ? 1 : 0);
  });

  // The free camera ('0') flies with the mouse under pointer lock; the show reads the key itself.
  // Leaving pointer lock by the browser's own Escape hands the camera back to the script. Where
  // the lock is refused (a frame without pointer-lock permission, a page without focus) the camera
  // flies all the same, and the viewer is told why the pointer is not held.
  let unlocking = false;
  function pointerRefused(why) {
    if (state() !== 'playing') return;
    notice('The browser did not hand the mouse pointer to the show' + (why ? ` (${why})` : '') + ': the page may ' +
           'be inside another that does not allow it. The mouse turns the free camera only over the picture; the ' +
           'arrow keys fly it, and 0 gives it back to the show.');
  }
  document.addEventListener('pointerlockerror', () => pointerRefused(''));
  input.onKeyDown((event, key) => {
    if (key !== input.freeCameraKey || event.repeat || state() !== 'playing' || !programReady) return;
    if (Module._lumarq_free_camera()) {
      unlocking = true;
      if (document.pointerLockElement) document.exitPointerLock();
      return;
    }
    try {
      const locking = canvas.requestPointerLock ? canvas.requestPointerLock() : null;
      if (!canvas.requestPointerLock) pointerRefused('this browser has no pointer lock');
      if (locking && typeof locking.catch === 'function') locking.catch((error) => pointerRefused(error.message));
    } catch (error) {
      pointerRefused(error.message);
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
  // the context back, and the show, which follows the music meanwhile, goes on where it is; a
  // still is drawn again.
  canvas.addEventListener('webglcontextlost', (event) => {
    event.preventDefault();  // or the browser never gives it back
    if (!programReady || state() === 'failed') return;
    if (stillAt !== null) {
      Module._lumarq_still_lost();
    } else {
      Module._lumarq_graphics_lost();
    }
    setStatus('The browser took the show\'s graphics away (its WebGL context was lost)' +
              (state() === 'playing' ? '. The music plays on; the' : ': the') +
              ' picture comes back when the browser gives the graphics back.');
  });
  canvas.addEventListener('webglcontextrestored', () => {
    if (!programReady || state() === 'failed') return;
    files.textures.forget();
    if (stillAt !== null) {
      Module._lumarq_still_restored();
    } else {
      Module._lumarq_graphics_restored();
    }
    setStatus('');
  });
})();
