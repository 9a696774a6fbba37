// The show's state at its start, kept so that the show can be set back there and stepped again
// to any time: what the frames change (the objects' transforms, programs and bump flags, the
// light, the camera pose, the spent switches and hop tracks).
#pragma once
#include "app/stage.h"
#include "assets/scene_object.h"

#include <glm/glm.hpp>

struct ToolSession;

struct ShowStart {
    SceneObject objects[stageObjectCount];
    glm::vec3 lightPosition{};
    int lightDirection = 1;
    glm::vec3 cameraPosition{};
    float cameraYaw = 0.0f;
    float cameraPitch = 0.0f;
};

// Right after the show has started, before its first frame.
ShowStart recordShowStart(const ToolSession& session);

// Back to show time 0 as the show started, in the starting look with the programs now in use.
void rewindShow(ToolSession& session, const ShowStart& start);
