// Hidden test window, shared by every GL test of one test program.
#include "support/gl_context.h"

#include "app/window.h"

#include <GLFW/glfw3.h>

#include <cstdio>

GLFWwindow* testGlWindow(int width, int height)
{
    static GLFWwindow* window = nullptr;
    if (window != nullptr) {
        return window;
    }
    // A test that finds no window says why: GLFW's own reason, not just a null pointer.
    glfwSetErrorCallback([](int code, const char* text) { fprintf(stderr, "GLFW error %#x: %s\n", code, text); });
    if (!glfwInit()) {
        return nullptr;
    }
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    window = openDemoWindow(width, height, nullptr);
    if (window != nullptr) {
        prepareContext(window);
    }
    return window;
}
