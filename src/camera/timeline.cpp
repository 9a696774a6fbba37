// Camera keyframe segments and hop tracks evaluated against the show time: the camera pose
// globals are written inside a segment's open window, objects are moved only through translate.
#include "camera/timeline.h"

#include "assets/scene_object.h"

namespace {

constexpr int32_t hopDurationMs = 400;
constexpr float hopHeight = 4.0f;

// Signed 32-bit difference a - b with wrap-around, so that tick counts straddling 2^32 (and
// times near the int32 limits) give the right span instead of a signed overflow.
int32_t wrappedDifference(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

int32_t wrappedSum(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

// Milliseconds since a window's start, for an elapsed value already known to lie inside the
// window; unsigned so that a window wider than INT32_MAX still gives the true span.
float msSince(int32_t elapsed, int32_t start)
{
    return static_cast<float>(static_cast<uint32_t>(elapsed) - static_cast<uint32_t>(start));
}

void moveTo(SceneObject& object, const glm::vec3& target)
{
    object.translate(target.x - object.position.x, target.y - object.position.y, target.z - object.position.z);
}

}  // namespace

void Timeline::addCameraSegment(int startMs, int endMs, const CameraPose& from, const CameraPose& to)
{
    // 64-bit, so that a window spanning more than half the int32 range keeps its true length.
    const int64_t duration = static_cast<int64_t>(endMs) - startMs;
    CameraPose velocity{0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    // An empty window never acts, so its velocity is never read; leaving it zero keeps a
    // division by zero (and infinities) out of the table.
    if (duration > 0) {
        const float d = static_cast<float>(duration);
        velocity = CameraPose{(to.x - from.x) / d, (to.y - from.y) / d, (to.z - from.z) / d,
                              (to.yaw - from.yaw) / d, (to.pitch - from.pitch) / d};
    }
    segmentFrom.push_back(from);
    segmentVelocity.push_back(velocity);
    segmentStart.push_back(startMs);
    segmentEnd.push_back(endMs);
}

void Timeline::addJump(int timeMs, SceneObject* object)
{
    // A hop needs an object to read its position from; without one there is nothing to move.
    if (object == nullptr) {
        return;
    }
    const int32_t end = wrappedSum(timeMs, hopDurationMs);
    const int32_t half = wrappedDifference(end, timeMs) / 2;
    const int32_t middle = wrappedDifference(end, half);

    const glm::vec3 ground = object->position;
    const glm::vec3 top(ground.x, ground.y + hopHeight, ground.z);
    const float halfMs = static_cast<float>(half);

    trackStart.push_back(timeMs);
    trackEnd.push_back(middle);
    trackFrom.push_back(ground);
    trackTo.push_back(top);
    trackVelocity.push_back((top - ground) / halfMs);
    trackObject.push_back(object);
    trackDone.push_back(false);

    trackStart.push_back(wrappedSum(timeMs, half));
    trackEnd.push_back(end);
    trackFrom.push_back(top);
    trackTo.push_back(ground);
    trackVelocity.push_back((ground - top) / halfMs);
    trackObject.push_back(object);
    trackDone.push_back(false);
}

void Timeline::update(int nowTick)
{
    const int32_t elapsed = wrappedDifference(nowTick, startTick);
    const size_t count = segmentStart.size();
    for (size_t i = 0; i < count; ++i) {
        if (!(segmentStart[i] < elapsed && elapsed < segmentEnd[i])) {
            continue;
        }
        const float dt = msSince(elapsed, segmentStart[i]);
        const CameraPose& from = segmentFrom[i];
        const CameraPose& v = segmentVelocity[i];
        cameraPosition = glm::vec3(from.x + v.x * dt, from.y + v.y * dt, from.z + v.z * dt);
        cameraYaw = from.yaw + v.yaw * dt;
        cameraPitch = from.pitch + v.pitch * dt;
    }
    updateObjects(nowTick);
}

void Timeline::updateObjects(int nowTick)
{
    const int32_t elapsed = wrappedDifference(nowTick, startTick);
    const size_t count = trackStart.size();
    for (size_t i = 0; i < count; ++i) {
        SceneObject& object = *trackObject[i];
        if (trackStart[i] < elapsed && elapsed < trackEnd[i]) {
            const float dt = msSince(elapsed, trackStart[i]);
            moveTo(object, trackFrom[i] + trackVelocity[i] * dt);
        }
        // The first update after the window closes lands the object exactly on the track's end,
        // whatever fraction of a frame the interpolation fell short by.
        if (trackEnd[i] < elapsed && !trackDone[i]) {
            trackDone[i] = true;
            moveTo(object, trackTo[i]);
        }
    }
}
