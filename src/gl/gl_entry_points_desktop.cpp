// Entry-point loading through glad, the version complaint and the checkpoints.
#include "gl/gl_entry_points.h"

#include <GLFW/glfw3.h>

#include <cstdio>

void loadGlEntryPoints()
{
    gladLoadGL(glfwGetProcAddress);
}

bool checkGlVersion(GLFWwindow* window)
{
    int major = glfwGetWindowAttrib(window, GLFW_CONTEXT_VERSION_MAJOR);
    int minor = glfwGetWindowAttrib(window, GLFW_CONTEXT_VERSION_MINOR);
    loadGlEntryPoints();
    if (major * 10 + minor < 43) {
        fprintf(stderr, "Error: OpenGL version 4.3 not supported.\n");
        fprintf(stderr, "       Your version is %d.%d.\n", major, minor);
        fprintf(stderr, "       Try updating your graphics driver.\n");
        return false;
    }
    return true;
}

void glErrorCheckpoint(const char* label)
{
    // Before any context exists (the first checkpoint) there is no error state to read.
    GLenum error = glGetError ? glGetError() : GL_NO_ERROR;
    printf("%s: %i\n", label, static_cast<int>(error));
}
