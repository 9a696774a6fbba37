// Program entry: opens the full-screen window, loads the scene, runs the show's frame loop until
// Escape and shuts down. Built once per display size.
#include "app/frame_step.h"
#include "app/scene.h"
#include "app/show_control.h"
#include "app/window.h"
#include "gl/gl_entry_points.h"
#include "platform/clock.h"

#include <GLFW/glfw3.h>

#include <cstdio>
#include <memory>

// The display size of this build: the full-screen window's size, and with it the viewport.
constexpr int displayWidth = LUMARQ_DISPLAY_WIDTH;
constexpr int displayHeight = LUMARQ_DISPLAY_HEIGHT;

int main()
{
    // Both records are large (the scene holds nine importers), so they live on the heap.
    auto show = std::make_unique<ShowControl>();
    show->prepare();

    glErrorCheckpoint("INIT");
    if (!glfwInit()) {
        fprintf(stderr, "Failed to initialize GLFW\n");
        return -1;
    }
    glErrorCheckpoint("END GLFWINIT");

    GLFWwindow* window = openDemoWindow(displayWidth, displayHeight, glfwGetPrimaryMonitor());
    if (window == nullptr) {
        glfwTerminate();
        return -1;
    }
    prepareContext(window);
    glErrorCheckpoint("END GLFW SETUP");

    auto scene = std::make_unique<Scene>();
    if (!scene->load(window)) {
        // A stage that cannot be read is a failed run: say which file and why, and clean up.
        fprintf(stderr, "%s\n", scene->loadFailure.c_str());
        scene->release();
        glfwTerminate();
        return 1;
    }

    double prevTime = secondsNow();
    show->start(*scene);

    for (;;) {
        advanceFrame(*show, *scene, prevTime);
        scene->render();
        glfwSwapBuffers(window);
        show->afterSwap(*scene, window);
        glfwPollEvents();
        if (glfwGetKey(window, GLFW_KEY_ESCAPE) == GLFW_PRESS) {
            break;
        }
    }

    scene->release();
    glfwTerminate();
    scene.reset();
    show.reset();
    return 0;
}
