// Stepping the show to a time under the virtual clock.
#include "show_seek.h"

#include "app/demo.h"
#include "camera/camera.h"
#include "frame_grid.h"
#include "platform/clock.h"
#include "show_start.h"

void seekShow(Demo& demo, const ShowStart& start, double showMs)
{
    Scene& scene = *demo.scene;
    ShowControl& show = *demo.show;
    rewindShow(scene, show, start);
    // Virtual milliseconds are show times, as in the tools' sessions.
    virtualClock.enabled = true;
    virtualClock.milliseconds = 0.0;
    show.timeline.startTick = 0;
    double prevSeconds = secondsNow();
    for (long frame = 0; frame * toolFrameMs < showMs; ++frame) {
        virtualClock.milliseconds = frame * toolFrameMs;
        const double now = secondsNow();
        scene.animate(now - prevSeconds);
        prevSeconds = now;
        show.advance(scene);
        updateCameraMatrices(demo.window, scene.renderer.autoCamera, viewportAspect(scene.renderer));
        show.applySwitches(scene, ShowKeys());
    }
    virtualClock.enabled = false;
    resetCameraClock();
    demo.prevTime = secondsNow();
}
