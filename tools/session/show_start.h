// The show's state at its start, kept so that the show can be set back there and stepped or
// played again from time 0 without loading it again: what the frames change (the objects'
// transforms, programs and bump flags, the light, the camera pose, the spent switches and hop
// tracks). The preview rewinds before every seek; the web page before it plays again.
#pragma once
#include "app/stage.h"
#include "assets/scene_object.h"

#include <glm/glm.hpp>

struct Scene;
struct ShowControl;

struct ShowStart {
    SceneObject objects[stageObjectCount];
    glm::vec3 lightPosition{};
    int lightDirection = 1;
    glm::vec3 cameraPosition{};
    float cameraYaw = 0.0f;
    float cameraPitch = 0.0f;
};

// Once the scene is loaded and placed, before the show's first frame.
ShowStart recordShowStart(const Scene& scene);

// Back to the show's start, in the starting look with the programs now in use: the scene as
// recorded, the scripted camera on, no switch or hop spent.
void rewindShow(Scene& scene, ShowControl& show, const ShowStart& start);
