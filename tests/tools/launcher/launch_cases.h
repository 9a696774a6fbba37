// The launcher's runs that the Linux test and the Windows test under Wine both make: what it is
// given, the screen it starts on, and the build it must start there.
#pragma once
#include <string>
#include <vector>

struct LaunchCase {
    std::vector<std::string> args;
    std::string screen;  // the X server's screen, which both platforms see as the primary monitor
    std::string build;   // the display size of the build started
    bool fits = true;    // false: no build fits the screen, and the launcher says so
};

inline const std::vector<LaunchCase> launchCases = {
    {{}, "1920x1080", "1920x1080"},                      // the monitor's own build
    {{}, "2560x1440", "1920x1080"},                      // a larger monitor of the same shape
    {{}, "1600x1200", "1280x1024"},                      // a build of the nearest shape fits
    {{}, "1024x768", "1280x720", false},                 // smaller than every build: the smallest
    {{"--size", "1920x1200"}, "1280x720", "1920x1200"},  // --size wins, whatever the monitor
    {{"--size=1280x1024"}, "1920x1080", "1280x1024"},
};
