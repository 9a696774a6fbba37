// The page around the show's program (lumarq-web.js): the canvas at the window's size in device
// pixels, the progress bar while the data loads, the start screen whose click starts the music
// and the show in full screen, the end screen, and a message in words whenever the show cannot
// run. index.html?at=MS[&style=toon|shadow|bump] shows the still at that show time instead,
// nothing over it; the body's data-state says where the page is: loading, start, playing, ended,
// still (the still is drawn) or failed.
'use strict';
(function () {
  const query = new URLSearchParams(location.search);
  const stillAt = query.get('at');
  const canvas = document.getElementById('canvas');
  const screens = ['loading', 'start', 'ended', 'message'];

  function show(screen) {
    for (const id of screens) {
      document.getElementById(id).hidden = id !== screen;
    }
  }

  function setState(state) {
    document.body.dataset.state = state;
  }

  function fail(message) {
    document.getElementById('message-text').textContent = message;
    show('message');
    setState('failed');
    if (document.fullscreenElement) {
      document.exitFullscreen().catch(() => {});
    }
  }

  function fitCanvas() {
    const ratio = window.devicePixelRatio || 1;
    canvas.width = Math.max(1, Math.round(canvas.clientWidth * ratio));
    canvas.height = Math.max(1, Math.round(canvas.clientHeight * ratio));
  }

  function enterFullScreen() {
    const root = document.documentElement;
    if (root.requestFullscreen && !document.fullscreenElement) {
      root.requestFullscreen().catch(() => {});  // refused: the show plays in the window
    }
  }

  fitCanvas();
  window.addEventListener('resize', fitCanvas);
  window.addEventListener('error', (event) => {
    fail('The show stopped: ' + (event.message || event.error || 'an error in the page'));
  });

  const hasWebGl2 = !!document.createElement('canvas').getContext('webgl2');
  if (stillAt !== null) {
    show(null);
  } else if (!hasWebGl2) {
    // Said at once; the program still runs to print the demo's own lines.
    fail('This browser cannot show the demo: it needs WebGL 2, which is switched off or not ' +
         'available here. Try a current Chrome, Edge, Firefox or Safari, with hardware acceleration on.');
  }

  const args = ['--size', canvas.width + 'x' + canvas.height];
  if (stillAt !== null) {
    args.push('--at', stillAt);
    if (query.get('style')) {
      args.push('--style', query.get('style'));
    }
  }

  window.Module = {
    canvas: canvas,
    arguments: args,
    print: (line) => console.log(line),
    printErr: (line) => console.error(line),
    // The file packager reports "Downloading data... (loaded/total)".
    setStatus: (text) => {
      const progress = /\((\d+(?:\.\d+)?)\/(\d+(?:\.\d+)?)\)/.exec(text);
      if (progress && Number(progress[2]) > 0) {
        const share = Number(progress[1]) / Number(progress[2]);
        document.getElementById('progress').style.width = (100 * share).toFixed(1) + '%';
        document.getElementById('loading-text').textContent =
            'Loading the show… ' + Math.round(100 * share) + '%';
      }
    },
    onAbort: (what) => fail('The show stopped: ' + what),
    // Called by the program (tools/web/page.cpp).
    lumarqPage: (state, message) => {
      if (state === 'failed') {
        fail(message);
      } else if (state === 'start') {
        if (document.body.dataset.state !== 'failed') {
          show('start');
          setState('start');
        }
      } else if (state === 'ended') {
        if (document.pointerLockElement) {
          document.exitPointerLock();
        }
        if (document.fullscreenElement) {
          document.exitFullscreen().catch(() => {});
        }
        show('ended');
        setState('ended');
      } else if (state === 'notice') {
        const notice = document.getElementById('notice');
        notice.textContent += (notice.textContent ? '\n' : '') + message;
        notice.hidden = false;
      } else if (state === 'still') {
        // Marked once the drawn frame has reached the screen.
        requestAnimationFrame(() => setState('still'));
      }
    },
  };

  function play(start) {
    enterFullScreen();
    show(null);
    setState('playing');
    canvas.focus();
    start();
  }
  document.getElementById('start-button').addEventListener('click', () => play(() => Module._lumarq_start()));
  document.getElementById('again-button').addEventListener('click', () => play(() => Module._lumarq_play_again()));

  // The free camera ('0') flies with the mouse under pointer lock; the show reads the key itself.
  window.addEventListener('keydown', (event) => {
    if (event.key !== '0' || document.body.dataset.state !== 'playing') {
      return;
    }
    if (document.pointerLockElement) {
      document.exitPointerLock();
    } else if (canvas.requestPointerLock) {
      canvas.requestPointerLock();
    }
  });

  // The data first: its script starts the download at once, with progress; the program waits
  // for it.
  function load(src, next) {
    const script = document.createElement('script');
    script.src = src;
    script.onload = next;
    script.onerror = () => fail('The show could not load ' + src + ': the page is incomplete or the ' +
                                'server did not answer.');
    document.body.appendChild(script);
  }
  load('lumarq-web.data.js', () => load('lumarq-web.js', () => {}));
})();
