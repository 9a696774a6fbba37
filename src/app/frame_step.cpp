// One frame's sound update, animation and show advance, between two reads of the seconds clock.
#include "app/frame_step.h"

#include "app/scene.h"
#include "app/show_control.h"
#include "platform/clock.h"

void advanceFrame(ShowControl& show, Scene& scene, double& prevSeconds)
{
    show.beginFrame();
    const double now = secondsNow();
    scene.animate(now - prevSeconds);
    show.advance(scene);
    prevSeconds = secondsNow();
}
