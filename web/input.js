// What the viewer does, as the show's program reads it (web/library.js): the keys through a latch
// of the page's own, the mouse's movements for the free camera, and taps on the touch overlay.
// The show reads its keys once a frame. As with GLFW's sticky keys, a key pressed and let go
// between two reads still reads as pressed once; a key already down when the show starts reads as
// up until it is let go and pressed again, so the Escape or digit that a viewer holds on the start
// screen never reaches the show. GLFW's own key handling sees no key at all (it would swallow Tab).
'use strict';
window.LumarqInput = (function () {
  // GLFW's codes of the keys the show reads, by the key's place on the keyboard.
  const glfwKeys = {
    Digit0: 48, Digit1: 49, Digit2: 50, Digit3: 51, Numpad0: 48, Numpad1: 49, Numpad2: 50, Numpad3: 51,
    Escape: 256, ArrowRight: 262, ArrowLeft: 263, ArrowDown: 264, ArrowUp: 265,
  };
  const escapeKey = glfwKeys.Escape;
  // How long the touch overlay stays up after the last tap.
  const overlayShownMs = 4000;

  const keys = {
    down: new Set(),
    stuck: new Set(),    // pressed since the last read
    ignored: new Set(),  // down when the show started, until let go

    read(key) {
      const pressed = this.down.has(key) || this.stuck.has(key);
      this.stuck.delete(key);
      return pressed ? 1 : 0;
    },
    // A press shorter than a frame, as a tap on the overlay gives.
    press(key) {
      this.stuck.add(key);
    },
    clear() {
      for (const key of this.down) this.ignored.add(key);
      this.down.clear();
      this.stuck.clear();
    },
  };

  // The mouse's position for GLFW's cursor calls, moved by the mouse's movements: under pointer
  // lock the only thing there is, and what the free camera turns by.
  const pointer = { x: 0, y: 0 };

  const keyListeners = [];
  window.addEventListener('keydown', (event) => {
    const key = glfwKeys[event.code];
    if (key !== undefined && !event.repeat && !keys.ignored.has(key)) {
      keys.down.add(key);
      keys.stuck.add(key);
    }
    for (const listener of keyListeners) listener(event, key);
    event.stopImmediatePropagation();
  }, true);
  window.addEventListener('keyup', (event) => {
    const key = glfwKeys[event.code];
    keys.down.delete(key);
    keys.ignored.delete(key);
    event.stopImmediatePropagation();
  }, true);
  // A key let go while the page had no focus sends no keyup.
  window.addEventListener('blur', () => keys.down.clear());
  window.addEventListener('mousemove', (event) => {
    pointer.x += event.movementX;
    pointer.y += event.movementY;
  });

  // The touch overlay: styles 1 2 3 and the end, over the show while a tap keeps it up.
  const overlay = document.getElementById('overlay');
  let hideTimer = 0;
  function showOverlay() {
    overlay.hidden = false;
    clearTimeout(hideTimer);
    hideTimer = setTimeout(() => { overlay.hidden = true; }, overlayShownMs);
  }
  function hideOverlay() {
    clearTimeout(hideTimer);
    overlay.hidden = true;
  }
  overlay.addEventListener('click', (event) => {
    const button = event.target.closest('button');
    if (!button) return;
    keys.press(button.dataset.key === 'end' ? escapeKey : glfwKeys['Digit' + button.dataset.key]);
    showOverlay();
  });

  // Touch screens say "Tap" and show the overlay's hint; the rest "Click" and the keys.
  const touchFirst = window.matchMedia('(pointer: coarse)').matches ||
    (navigator.maxTouchPoints > 0 && !window.matchMedia('(pointer: fine)').matches);

  return {
    keys,
    pointer,
    escapeKey,
    freeCameraKey: glfwKeys.Digit0,
    touchFirst,
    showOverlay,
    hideOverlay,
    // `listener(event, glfwKey)` for every key pressed, before the page stops the event.
    onKeyDown(listener) {
      keyListeners.push(listener);
    },
  };
})();
