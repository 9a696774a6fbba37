// Stands in for the generated loader's header on the web: WebGL 2 is OpenGL ES 3.0, whose entry
// points emscripten links directly, so there is nothing to load.
#pragma once
#include <GLES3/gl3.h>
