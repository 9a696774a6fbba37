// Recording the show's starting state and setting the show back to it.
#include "show_rewind.h"

#include "app/scene.h"
#include "app/show_control.h"
#include "camera/camera.h"

#include <algorithm>
#include <iterator>

ShowRewind recordShowRewind(const Scene& scene)
{
    ShowRewind rewind;
    std::copy(std::begin(scene.objects), std::end(scene.objects), rewind.objects);
    rewind.lightPosition = scene.renderer.lightPosition;
    rewind.lightDirection = scene.lightDirection;
    rewind.cameraPosition = cameraPosition;
    rewind.cameraYaw = cameraYaw;
    rewind.cameraPitch = cameraPitch;
    return rewind;
}

void rewindShow(const ShowRewind& rewind, Scene& scene, ShowControl& show)
{
    std::copy(std::begin(rewind.objects), std::end(rewind.objects), scene.objects);
    scene.renderer.shadowsEnabled = false;
    scene.renderer.autoCamera = true;
    scene.renderer.lightPosition = rewind.lightPosition;
    scene.lightDirection = rewind.lightDirection;
    show.shadowSwitchDone = false;
    show.bumpSwitchDone = false;
    std::fill(show.timeline.trackDone.begin(), show.timeline.trackDone.end(), false);
    cameraPosition = rewind.cameraPosition;
    cameraYaw = rewind.cameraYaw;
    cameraPitch = rewind.cameraPitch;
    resetCameraClock();
}
