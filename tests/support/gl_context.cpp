// Hidden test window, shared by every GL test of one test program.
#include "support/gl_context.h"

#include "app/window.h"

#include <GLFW/glfw3.h>

GLFWwindow* testGlWindow(int width, int height)
{
    static GLFWwindow* window = nullptr;
    if (window != nullptr) {
        return window;
    }
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
