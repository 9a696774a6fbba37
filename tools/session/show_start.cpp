// Recording the show's starting state and setting the show back to it.
#include "show_start.h"

#include "app/scene.h"
#include "app/show_control.h"
#include "camera/camera.h"
#include "show_style.h"

#include <algorithm>
#include <iterator>

ShowStart recordShowStart(const Scene& scene)
{
    ShowStart start;
    std::copy(std::begin(scene.objects), std::end(scene.objects), start.objects);
    start.lightPosition = scene.renderer.lightPosition;
    start.lightDirection = scene.lightDirection;
    start.cameraPosition = cameraPosition;
    start.cameraYaw = cameraYaw;
    start.cameraPitch = cameraPitch;
    return start;
}

void rewindShow(Scene& scene, ShowControl& show, const ShowStart& start)
{
    std::copy(std::begin(start.objects), std::end(start.objects), scene.objects);
    // The recorded programs may have been rebuilt since; the toon style is the starting look.
    applyShowStyle(scene, ShowStyle::toon);
    scene.renderer.autoCamera = true;
    scene.renderer.lightPosition = start.lightPosition;
    scene.lightDirection = start.lightDirection;
    show.shadowSwitchDone = false;
    show.bumpSwitchDone = false;
    std::fill(show.timeline.trackDone.begin(), show.timeline.trackDone.end(), false);
    cameraPosition = start.cameraPosition;
    cameraYaw = start.cameraYaw;
    cameraPitch = start.cameraPitch;
    resetCameraClock();
}
