// The system libraries that GLFW loads for game controllers at glfwInit and frees at glfwTerminate
// (XInput on Windows). Wine's XInput keeps a thread of its own running after it is freed, which
// then faults in the unmapped DLL while the process ends; a DLL kept mapped for the life of the
// process cannot be run after it is gone (platform/host_windows.cpp, platform/host_posix.cpp).
#pragma once

// Call before every glfwInit: loads the controller library that GLFW will load and pins it until
// the process ends. Nothing to do where GLFW loads none (Linux, the browser).
void keepInputLibrariesLoaded();
