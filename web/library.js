// Additions to emscripten's JavaScript libraries for the page's program.
mergeInto(LibraryManager.library, {
  // Emscripten's GLFW cannot move the pointer. Under pointer lock its position is the sum of the
  // mouse's movements, so setting it is all that moving it means: the free camera, which puts the
  // pointer back to its rest each frame, then turns by each frame's movement.
  glfwSetCursorPos__deps: ['$Browser'],
  glfwSetCursorPos: function(winid, x, y) {
    Browser.mouseX = x;
    Browser.mouseY = y;
  },

  // Emscripten's GLFW has no sticky keys (and says so on the console). The show reads its keys
  // once a frame and relies on them: a key pressed and released between two reads still reads as
  // pressed once, at any frame rate. As in GLFW, a released key is held as "stuck" until read.
  // The show sets no other input mode.
  glfwSetInputMode__deps: ['$GLFW'],
  glfwSetInputMode: function(winid, mode, value) {
    var win = GLFW.WindowFromId(winid);
    if (!win || mode !== 0x00033002) {  // GLFW_STICKY_KEYS
      return;
    }
    win.stickyKeys = value;
    if (GLFW.onKeyChangedUnstuck) {
      return;
    }
    GLFW.onKeyChangedUnstuck = GLFW.onKeyChanged;
    GLFW.onKeyChanged = function(keyCode, status) {
      GLFW.onKeyChangedUnstuck(keyCode, status);
      var active = GLFW.active;
      var key = GLFW.DOMToGLFWKeyCode(keyCode);
      if (active && active.stickyKeys && status === 0 && key !== -1) {
        active.keys[key] = 3;  // stuck: reads as pressed once more
      }
    };
  },
  glfwGetKey__deps: ['$GLFW'],
  glfwGetKey: function(winid, key) {
    var win = GLFW.WindowFromId(winid);
    if (!win) {
      return 0;
    }
    if (win.keys[key] === 3) {
      win.keys[key] = 0;
      return 1;
    }
    return win.keys[key] ? 1 : 0;
  },
});
