// The GL entry points on the web: WebGL 2's, linked directly, so nothing is looked up. The page
// opens only WebGL 2 contexts (OpenGL ES 3.0, which has every call the renderer makes), so the
// version test has nothing to complain about.
#include "gl/gl_entry_points.h"

#include <emscripten/html5_webgl.h>

#include <cstdio>

void loadGlEntryPoints() {}

bool checkGlVersion(GLFWwindow* /*window*/)
{
    loadGlEntryPoints();
    return true;
}

void glErrorCheckpoint(const char* label)
{
    // Before the canvas has a context (the first checkpoint) there is no error state to read.
    GLenum error = emscripten_webgl_get_current_context() != 0 ? glGetError() : GL_NO_ERROR;
    printf("%s: %i\n", label, static_cast<int>(error));
}
