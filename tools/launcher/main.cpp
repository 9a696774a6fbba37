// lumarq: starts the build of the demo that fits the primary monitor, or the one that --size
// names, from the folder the launcher lies in (where the builds and their data are), and passes
// nothing else on: the demo takes no arguments. What differs between Linux and Windows is in
// launch_<platform>.cpp.
#include "build_choice.h"
#include "command_line.h"
#include "launch.h"

#include <cstdio>
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
            return 255;  // as the demo ends when it cannot open its window
        }
        std::vector<DisplaySize> builds(names.size());
        for (size_t i = 0; i < names.size(); ++i) {
            readDisplaySize(names[i], builds[i]);
        }
        const DisplaySize chosen = fittingBuild(builds, monitor);
        if (!fitsOn(chosen, monitor)) {
            fprintf(stderr,
                    "lumarq: no build fits the %s monitor; starting the smallest, %s (--size picks another)\n",
                    displaySizeName(monitor).c_str(), displaySizeName(chosen).c_str());
        }
        sizeName = displaySizeName(chosen);
    }
    return startBuild(sizeName);
}
