// The show's state at its start, kept so that the page can play it again without loading it
// again: what the frames change (the objects' transforms, programs and bump flags, the light, the
// camera pose, the spent switches and hops).
#pragma once
#include "app/stage.h"
#include "assets/scene_object.h"

#include <glm/glm.hpp>

struct Scene;
struct ShowControl;

struct ShowRewind {
    SceneObject objects[stageObjectCount];
    glm::vec3 lightPosition{};
    int lightDirection = 1;
    glm::vec3 cameraPosition{};
    float cameraYaw = 0.0f;
    float cameraPitch = 0.0f;
};

// Once the scene is loaded, before the show starts.
ShowRewind recordShowRewind(const Scene& scene);
// Back to the start: the scene as recorded, the scripted camera on, no switch or hop spent.
void rewindShow(const ShowRewind& rewind, Scene& scene, ShowControl& show);
