// Window and context creation with the 4.1 -> 3.3 fallback.
#include "app/window.h"

#include "gl/gl_entry_points.h"
#include "platform/input_libraries.h"

#include <GLFW/glfw3.h>

#include <cstdio>

namespace {

void setContextHints(int major, int minor)
{
    glfwWindowHint(GLFW_OPENGL_DEBUG_CONTEXT, 1);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, major);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, minor);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
}

}  // namespace

GLFWwindow* openDemoWindow(int width, int height, GLFWmonitor* monitor)
{
    setContextHints(4, 1);
    GLFWwindow* window = glfwCreateWindow(width, height, "Test", monitor, nullptr);
    if (window != nullptr) {
        return window;
    }
    fprintf(stderr, "Failed to open GLFW window OGL 4.1\n");
    setContextHints(3, 3);
    window = glfwCreateWindow(width, height, "Test", monitor, nullptr);
    if (window == nullptr) {
        fprintf(stderr, "Failed to open GLFW window OGL 3.3\n");
    }
    return window;
}

void prepareContext(GLFWwindow* window)
{
    glfwMakeContextCurrent(window);
    checkGlVersion(window);
    glfwSetInputMode(window, GLFW_STICKY_KEYS, 1);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glEnable(GL_CULL_FACE);
}

GLFWwindow* openToolWindow(const char* program, int width, int height, ToolWindowMode mode)
{
    keepInputLibrariesLoaded();
    if (!glfwInit()) {
        fprintf(stderr, "%s: cannot start GLFW; run it under an X server, e.g. xvfb-run -a\n", program);
        return nullptr;
    }
    glfwWindowHint(GLFW_RESIZABLE, mode == ToolWindowMode::resizable ? GLFW_TRUE : GLFW_FALSE);
    GLFWmonitor* monitor = mode == ToolWindowMode::fullScreen ? glfwGetPrimaryMonitor() : nullptr;
    const GLFWvidmode* screen = monitor != nullptr ? glfwGetVideoMode(monitor) : nullptr;
    if (screen != nullptr) {
        width = screen->width;
        height = screen->height;
    }
    GLFWwindow* window = openDemoWindow(width, height, monitor);
    if (window == nullptr) {
        fprintf(stderr, "%s: cannot open a %dx%d window with an OpenGL 3.3 context\n", program, width, height);
        return nullptr;
    }
    prepareContext(window);
    return window;
}
