// Which build of the demo a monitor gets: each build runs full screen at one display size, so the
// launcher picks the one that shows best on the monitor's current mode.
#pragma once
#include <string>
#include <vector>

struct DisplaySize {
    int width = 0;
    int height = 0;
};

// "WxH" with both sides whole positive numbers; false for anything else.
bool readDisplaySize(const std::string& text, DisplaySize& size);
std::string displaySizeName(DisplaySize size);

// Whether a build's full-screen window lies wholly on the monitor.
bool fitsOn(DisplaySize build, DisplaySize monitor);

// The build for a monitor: among the builds that fit inside it, the one whose shape is nearest
// the monitor's, then the larger; a monitor that no build fits gets the smallest build. `builds`
// must not be empty.
DisplaySize fittingBuild(const std::vector<DisplaySize>& builds, DisplaySize monitor);
