// Start-up, frame and shutdown of the demo, in the order of its entry.
#include "app/demo.h"

#include "app/frame_step.h"
#include "app/scene.h"
#include "app/show_control.h"
#include "app/window.h"
#include "gl/gl_entry_points.h"
#include "platform/clock.h"
#include "platform/input_libraries.h"

#include <GLFW/glfw3.h>

#include <cstdio>

DemoStartup startDemo(Demo& demo, int width, int height, bool fullScreen)
{
    // Both records are large (the scene holds nine importers), so they live on the heap.
    demo.show = std::make_unique<ShowControl>();
    demo.show->prepare();

    glErrorCheckpoint("INIT");
    keepInputLibrariesLoaded();
    if (!glfwInit()) {
        fprintf(stderr, "Failed to initialize GLFW\n");
        return DemoStartup::noGlfw;
    }
    glErrorCheckpoint("END GLFWINIT");

    demo.window = openDemoWindow(width, height, fullScreen ? glfwGetPrimaryMonitor() : nullptr);
    if (demo.window == nullptr) {
        glfwTerminate();
        return DemoStartup::noWindow;
    }
    prepareContext(demo.window);
    glErrorCheckpoint("END GLFW SETUP");

    demo.scene = std::make_unique<Scene>();
    if (!demo.scene->load(demo.window)) {
        // A stage that cannot be read is a failed run: say which file and why, and clean up.
        fprintf(stderr, "%s\n", demo.scene->loadFailure.c_str());
        demo.scene->release();
        glfwTerminate();
        demo.window = nullptr;
        return DemoStartup::noScene;
    }
    return DemoStartup::ready;
}

int startupExitStatus(DemoStartup startup)
{
    switch (startup) {
    case DemoStartup::ready: return 0;
    case DemoStartup::noGlfw:
    case DemoStartup::noWindow: return -1;
    case DemoStartup::noScene: return 1;
    }
    return 1;
}

void beginShow(Demo& demo)
{
    demo.prevTime = secondsNow();
    demo.show->start(*demo.scene);
}

bool runDemoFrame(Demo& demo)
{
    advanceFrame(*demo.show, *demo.scene, demo.prevTime);
    demo.scene->render();
    glfwSwapBuffers(demo.window);
    demo.show->afterSwap(*demo.scene, demo.window);
    glfwPollEvents();
    return glfwGetKey(demo.window, GLFW_KEY_ESCAPE) != GLFW_PRESS;
}

void endDemo(Demo& demo)
{
    demo.scene->release();
    glfwTerminate();
    demo.window = nullptr;
}
