// OpenGL entry points (resolved at run time through GLFW), the context version check and the
// start-up error checkpoints.
#pragma once
#include <glad/gl.h>

struct GLFWwindow;

// Resolves every entry point of the 4.3 core loader in the current context; names the context
// lacks stay null.
void loadGlEntryPoints();

// Resolves the entry points and complains on standard error when the context is older than 4.3.
bool checkGlVersion(GLFWwindow* window);

// Prints "<label>: <glGetError()>" on standard output.
void glErrorCheckpoint(const char* label);
