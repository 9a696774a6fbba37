// Runs the show on top of the scene: the music, the timeline, and the style switches by time
// and by key.
#pragma once
#include "app/music.h"
#include "camera/timeline.h"

#include <cstdint>

struct GLFWwindow;
struct Scene;

// The four show keys as read after one buffer swap; true means down.
struct ShowKeys {
    bool toon = false;
    bool shadow = false;
    bool bump = false;
    bool autoCamera = false;
};

struct ShowControl {
    Music music;
    Timeline timeline;
    int32_t tick = 0;  // tick count read by this frame's advance()
    bool shadowSwitchDone = false;
    bool bumpSwitchDone = false;

    // Sound system and timeline; before GLFW starts.
    void prepare();
    // Hops registered, then play().
    void start(Scene& scene);
    // Music started from its beginning and the show clock zeroed: at the start, and to play again.
    void play();
    void beginFrame();
    void advance(Scene& scene);
    // Reads the keys (a style key only while its timed switch is not due) and applies them.
    void afterSwap(Scene& scene, GLFWwindow* window);

    // Whether a timed style switch fires in this frame, without any key.
    bool shadowSwitchDue() const;
    bool bumpSwitchDue() const;
    // The style switches and the camera toggle, in order, for this frame's keys.
    void applySwitches(Scene& scene, const ShowKeys& keys);

    // Milliseconds since the show clock was zeroed, for this frame's tick.
    int32_t showTime() const;
    // The same for another reading of the tick count.
    int32_t showTimeAt(int32_t atTick) const;
};
