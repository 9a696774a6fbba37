// A small hidden window with a current GL context for tests that touch OpenGL.
#pragma once

struct GLFWwindow;

// Opens (once per process) a hidden window with a 4.1-or-3.3 core context, makes it current and
// resolves the entry points. Null when there is no display; tests then fail with a clear reason.
GLFWwindow* testGlWindow(int width = 256, int height = 256);
