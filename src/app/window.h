// Opening the demo's window (4.1 core debug context, 3.3 as fallback) and preparing its context.
#pragma once

struct GLFWwindow;
struct GLFWmonitor;

// Full-screen on `monitor`, or windowed when it is null. Prints the failure line of each attempt
// on standard error; null when neither context could be created.
GLFWwindow* openDemoWindow(int width, int height, GLFWmonitor* monitor);

// Makes the context current, resolves the GL entry points, checks the version, switches on
// sticky keys, the depth test and back-face culling.
void prepareContext(GLFWwindow* window);

// How a tool's window opens: at a fixed size for pictures of a known size (capture, bench), or
// for watching the show (preview): resizable, or full screen on the primary monitor.
enum class ToolWindowMode { fixed, resizable, fullScreen };

// For the tools that run the show: starts GLFW and opens a window with a prepared context. Full
// screen keeps the monitor's current video mode, and takes `width` and `height` only where that
// mode cannot be read. Prints why, prefixed with `program`, and returns null when that fails.
GLFWwindow* openToolWindow(const char* program, int width, int height,
                           ToolWindowMode mode = ToolWindowMode::fixed);
