// What the launcher asks of its platform: the primary monitor's mode, and a build of the demo
// started from the launcher's own folder. One file per platform, launch_<platform>.cpp.
#pragma once
#include "build_choice.h"

#include <string>

// The primary monitor's current mode. False, after saying why on standard error, when there is
// no display to ask.
bool primaryMonitorSize(DisplaySize& size);

// Starts the build lumarq-<sizeName> that lies beside the launcher, in that folder, on the
// launcher's console and with no arguments, and returns the status to end with: the build's own
// once it has ended, or 127 when it cannot be found or started, after saying why on standard error.
int startBuild(const std::string& sizeName);
