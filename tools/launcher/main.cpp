// lumarq: starts the build of the demo that fits the primary monitor, or the one that --size
// names, from the folder the launcher lies in (where the builds and their data are), and passes
// nothing else on: the demo takes no arguments.
#include "build_choice.h"
#include "command_line.h"

#include <GLFW/glfw3.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>

namespace {

// The builds, as CMake lists them (LUMARQ_DISPLAY_SIZES), comma-separated.
std::vector<std::string> buildNames()
{
    std::vector<std::string> names;
    std::istringstream list(LUMARQ_DISPLAY_SIZES);
    for (std::string name; std::getline(list, name, ',');) {
        names.push_back(name);
    }
    return names;
}

// The primary monitor's current mode; false when there is no display to ask.
bool primaryMonitorSize(DisplaySize& size)
{
    if (glfwInit() != GLFW_TRUE) {
        return false;
    }
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    const GLFWvidmode* mode = monitor != nullptr ? glfwGetVideoMode(monitor) : nullptr;
    if (mode != nullptr) {
        size = {mode->width, mode->height};
    }
    glfwTerminate();
    return mode != nullptr;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> names = buildNames();
    std::string sizeName;
    CLI::App app{"Plays the Lumarq demo full screen: the build that fits the primary monitor, or the one that "
                 "--size names."};
    std::string listed;
    for (const std::string& name : names) {
        listed += (listed.empty() ? "" : ", ") + name;
    }
    app.add_option("--size", sizeName, "the display size of the build to start: " + listed)
        ->check(CLI::IsMember(names));
    std::string message;
    const CommandLineResult parsed = parseCommandLine(app, argc, argv, message);
    if (parsed != CommandLineResult::run) {
        return finishCommandLine("lumarq", parsed, message);
    }

    if (sizeName.empty()) {
        DisplaySize monitor;
        if (!primaryMonitorSize(monitor)) {
            fprintf(stderr, "lumarq: no monitor to play on (is DISPLAY set?)\n");
            return 255;  // as the demo ends when it cannot open its window
        }
        std::vector<DisplaySize> builds(names.size());
        for (size_t i = 0; i < names.size(); ++i) {
            readDisplaySize(names[i], builds[i]);
        }
        sizeName = displaySizeName(fittingBuild(builds, monitor));
    }

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
