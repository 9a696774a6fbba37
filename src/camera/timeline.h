// The show's time-driven motion: camera keyframe segments and object motion tracks (two per
// hop), evaluated every frame against the show time. Windows are open intervals.
#pragma once
#include "camera/camera.h"

#include <cstdint>
#include <vector>

struct SceneObject;

struct Timeline {
    std::vector<int32_t> segmentStart;
    std::vector<int32_t> segmentEnd;
    std::vector<CameraPose> segmentFrom;
    std::vector<CameraPose> segmentVelocity;  // change of each component per millisecond
    int32_t startTick = 0;                    // tick count at the show's zero; set by the owner
    std::vector<int32_t> trackStart;
    std::vector<int32_t> trackEnd;
    std::vector<glm::vec3> trackFrom;
    std::vector<glm::vec3> trackTo;
    std::vector<glm::vec3> trackVelocity;
    std::vector<SceneObject*> trackObject;  // not owned
    std::vector<bool> trackDone;            // set once the track's end position has been applied

    void addCameraSegment(int startMs, int endMs, const CameraPose& from, const CameraPose& to);
    // A 400 ms hop of 4 units up from where the object stands now, as a rise and a fall track.
    void addJump(int timeMs, SceneObject* object);
    // Camera segments, then motion tracks.
    void update(int nowTick);
    void updateObjects(int nowTick);
};
