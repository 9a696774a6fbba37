// Runs the show on top of the scene: the music, the timeline, and the style switches by time
// and by key.
#pragma once
#include "app/music.h"
#include "camera/timeline.h"

#include <cstdint>

struct GLFWwindow;
struct Scene;

struct ShowControl {
    Music music;
    Timeline timeline;
    int32_t tick = 0;  // tick count read by this frame's advance()
    bool shadowSwitchDone = false;
    bool bumpSwitchDone = false;

    // Sound system and timeline; before GLFW starts.
    void prepare();
    // Hops registered, music started, show clock zeroed.
    void start(Scene& scene);
    void beginFrame();
    void advance(Scene& scene);
    void afterSwap(Scene& scene, GLFWwindow* window);

    // Milliseconds since the show clock was zeroed, for this frame's tick.
    int32_t showTime() const;
};
