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

// For the tools that run the show without a display of their own (capture, bench): starts GLFW
// and opens a fixed-size window with a prepared context. Prints why, prefixed with `program`,
// and returns null when that fails.
GLFWwindow* openToolWindow(const char* program, int width, int height);
