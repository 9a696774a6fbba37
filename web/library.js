// GLFW's input calls for the page's program, answered from the page's own input (web/input.js,
// window.LumarqInput) instead of emscripten's GLFW, which has no sticky keys and cannot move the
// pointer. Every other GLFW call is emscripten's.
mergeInto(LibraryManager.library, {
  // The show reads its keys once a frame; the page's latch holds a short press until it is read,
  // as GLFW's sticky keys do.
  glfwGetKey: function(winid, key) {
    return LumarqInput.keys.read(key);
  },

  // The show asks for sticky keys, which the page's latch always has. It sets no other mode.
  glfwSetInputMode: function(winid, mode, value) {
    var GLFW_STICKY_KEYS = 0x00033002;
    if (mode !== GLFW_STICKY_KEYS) {
      err('glfwSetInputMode: mode ' + mode + ' is not handled on the web page');
    }
  },

  // The free camera reads the pointer and puts it back to its rest each frame, turning by the
  // difference: the page's pointer is the sum of the mouse's movements.
  glfwGetCursorPos: function(winid, x, y) {
    HEAPF64[x >> 3] = LumarqInput.pointer.x;
    HEAPF64[y >> 3] = LumarqInput.pointer.y;
  },
  glfwSetCursorPos: function(winid, x, y) {
    LumarqInput.pointer.x = x;
    LumarqInput.pointer.y = y;
  },
});
