// The launcher on Linux: GLFW asks the X server for the primary monitor, and the build replaces
// the launcher (exec), so its status is the process's own.
#include "launch.h"

#include <GLFW/glfw3.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

bool primaryMonitorSize(DisplaySize& size)
{
    const GLFWvidmode* mode = nullptr;
    if (glfwInit() == GLFW_TRUE) {
        GLFWmonitor* monitor = glfwGetPrimaryMonitor();
        mode = monitor != nullptr ? glfwGetVideoMode(monitor) : nullptr;
        if (mode != nullptr) {
            size = {mode->width, mode->height};
        }
        glfwTerminate();
    }
    if (mode == nullptr) {
        fprintf(stderr, "lumarq: no monitor to play on (is DISPLAY set?)\n");
        return false;
    }
    return true;
}

int startBuild(const std::string& sizeName)
{
    // The launcher's own folder, whatever link it was started through.
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
    const std::string program = (folder / ("lumarq-" + sizeName)).string();
    if (error || chdir(folder.c_str()) != 0) {
        fprintf(stderr, "lumarq: cannot find the folder the demo lies in\n");
        return 127;
    }
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    fprintf(stderr, "lumarq: cannot start %s: %s\n", program.c_str(), strerror(errno));
    return 127;
}
