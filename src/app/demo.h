// The demo's entry in three steps that any loop can drive, in the order the show needs them:
// start-up (sound, window, scene), one frame at a time, shutdown. The desktop programs call them
// from main()'s loop; the web page from the browser's frames.
#pragma once
#include "app/scene.h"
#include "app/show_control.h"

#include <memory>

struct GLFWwindow;

struct Demo {
    // Declared in the order they are made; destroyed the other way: the scene, then the show.
    std::unique_ptr<ShowControl> show;
    GLFWwindow* window = nullptr;  // destroyed by glfwTerminate
    std::unique_ptr<Scene> scene;
    double prevTime = 0.0;  // the seconds clock after the last frame's step
};

enum class DemoStartup { ready, noGlfw, noWindow, noScene };

// The show prepared, GLFW started, the window opened (full screen on the primary monitor, or a
// window of that size) with its context prepared, and the scene loaded. A failure is printed as
// the demo prints it (a scene's failure names the file and the reason) and what was made is
// cleaned up; only the records are left for the caller to destroy.
DemoStartup startDemo(Demo& demo, int width, int height, bool fullScreen);
// The exit status of a start-up that did not end ready.
int startupExitStatus(DemoStartup startup);

// The frame clock reset, the hops registered, the music started and the show clock zeroed.
void beginShow(Demo& demo);
// One frame: sound, motion and show, the three passes, the swap, the switches, the events. False
// once Escape is down.
bool runDemoFrame(Demo& demo);
// The scene's GL objects deleted (the vertex arrays and the tangent and bitangent buffers go with
// the context, which GLFW destroys next), GLFW terminated.
void endDemo(Demo& demo);
