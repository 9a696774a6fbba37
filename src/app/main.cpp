// Program entry: opens the full-screen window, loads the scene, runs the show's frame loop until
// Escape and shuts down. Built once per display size.
#include "app/demo.h"

// The display size of this build: the full-screen window's size, and with it the viewport.
constexpr int displayWidth = LUMARQ_DISPLAY_WIDTH;
constexpr int displayHeight = LUMARQ_DISPLAY_HEIGHT;

int main()
{
    Demo demo;
    const DemoStartup startup = startDemo(demo, displayWidth, displayHeight, true);
    if (startup != DemoStartup::ready) {
        return startupExitStatus(startup);
    }
    beginShow(demo);
    while (runDemoFrame(demo)) {
    }
    endDemo(demo);
    return 0;
}
