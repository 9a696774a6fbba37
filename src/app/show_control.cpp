// The show control: music and timeline set-up, the show clock, the per-frame timeline step and
// the style switches fired by show time or by the digit keys.
#include "app/show_control.h"

#include "app/scene.h"
#include "app/show_script.h"
#include "platform/clock.h"

#include <GLFW/glfw3.h>

static_assert(toonStyleKey == GLFW_KEY_1 && shadowStyleKey == GLFW_KEY_2 && bumpStyleKey == GLFW_KEY_3 &&
                  autoCameraKey == GLFW_KEY_0,
              "show keys are the digit keys");

void ShowControl::prepare()
{
    createSoundSystem(music);
    timeline = Timeline();
    addShowSegments(timeline);
    openMusic(music);
}

void ShowControl::start(Scene& scene)
{
    addShowJumps(timeline, scene);
    play();
}

void ShowControl::play()
{
    startMusic(music);
    timeline.startTick = tickCount();
}

void ShowControl::beginFrame()
{
    if (music.musicPlaying) {
        updateMusic(music);
    }
}

void ShowControl::advance(Scene& scene)
{
    tick = tickCount();
    if (scene.renderer.autoCamera) {
        timeline.update(tick);
    }
}

bool ShowControl::shadowSwitchDue() const
{
    return static_cast<double>(showTime()) >= shadowSwitchTimeMs && !shadowSwitchDone;
}

bool ShowControl::bumpSwitchDue() const
{
    return static_cast<double>(showTime()) >= bumpSwitchTimeMs && !bumpSwitchDone;
}

void ShowControl::afterSwap(Scene& scene, GLFWwindow* window)
{
    // With sticky keys a read clears a press, so a style key is left unread while its timed
    // switch is due: the press then still counts in the next frame.
    const auto down = [window](int key) { return glfwGetKey(window, key) == GLFW_PRESS; };
    ShowKeys keys;
    keys.toon = down(toonStyleKey);
    keys.shadow = !shadowSwitchDue() && down(shadowStyleKey);
    keys.bump = !bumpSwitchDue() && down(bumpStyleKey);
    keys.autoCamera = down(autoCameraKey);
    applySwitches(scene, keys);
}

void ShowControl::applySwitches(Scene& scene, const ShowKeys& keys)
{
    if (keys.toon) {
        applyStyle(scene, toonStyle);
    }
    if (shadowSwitchDue() || keys.shadow) {
        applyStyle(scene, shadowStyle);
        shadowSwitchDone = true;
    }
    if (bumpSwitchDue() || keys.bump) {
        applyStyle(scene, bumpStyle);
        bumpSwitchDone = true;
    }
    if (keys.autoCamera) {
        scene.renderer.autoCamera = !scene.renderer.autoCamera;
    }
}

int32_t ShowControl::showTime() const
{
    return showTimeAt(tick);
}

int32_t ShowControl::showTimeAt(int32_t atTick) const
{
    // Unsigned subtraction: the tick counter may wrap between the two readings.
    return static_cast<int32_t>(static_cast<uint32_t>(atTick) - static_cast<uint32_t>(timeline.startTick));
}
