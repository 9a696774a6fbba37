// Timeline behaviour: open windows, camera segments, hop tracks and their one-time snaps, catching
// up after a pause, and show times across a wrap of the tick counter.
#include "assets/scene_object.h"
#include "camera/camera.h"
#include "camera/timeline.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace {

const CameraPose poseA{1.0f, 2.0f, 3.0f, 0.5f, -0.25f};
const CameraPose poseB{11.0f, -8.0f, 3.0f, 2.5f, 0.75f};
const CameraPose poseC{-4.0f, 6.0f, 9.0f, 7.0f, 0.1f};
const CameraPose poseD{0.0f, 0.0f, 0.0f, 1.0f, 0.0f};

// A pose no segment uses, to see whether an update wrote the camera.
const CameraPose sentinel{-99.0f, -98.0f, -97.0f, -96.0f, -95.0f};

void setCamera(const CameraPose& p)
{
    cameraPosition = glm::vec3(p.x, p.y, p.z);
    cameraYaw = p.yaw;
    cameraPitch = p.pitch;
}

void expectCamera(const CameraPose& p)
{
    EXPECT_FLOAT_EQ(cameraPosition.x, p.x);
    EXPECT_FLOAT_EQ(cameraPosition.y, p.y);
    EXPECT_FLOAT_EQ(cameraPosition.z, p.z);
    EXPECT_FLOAT_EQ(cameraYaw, p.yaw);
    EXPECT_FLOAT_EQ(cameraPitch, p.pitch);
}

// The pose a segment from -> to over [start, end] gives at elapsed, by the same float steps.
CameraPose between(const CameraPose& from, const CameraPose& to, int start, int end, int elapsed)
{
    const float d = static_cast<float>(end - start);
    const float dt = static_cast<float>(elapsed - start);
    return CameraPose{from.x + (to.x - from.x) / d * dt, from.y + (to.y - from.y) / d * dt,
                      from.z + (to.z - from.z) / d * dt, from.yaw + (to.yaw - from.yaw) / d * dt,
                      from.pitch + (to.pitch - from.pitch) / d * dt};
}

void expectNear(const glm::vec3& actual, const glm::vec3& expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-5f);
    EXPECT_NEAR(actual.y, expected.y, 1e-5f);
    EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

// An object placed the way the scene places mario: turned, then moved in the turned frame.
SceneObject placedObject()
{
    SceneObject object;
    object.rotate(180.0f, 1, 0);
    object.translate(0.7f, 1.8f, 0.0f);
    return object;
}

class TimelineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        timeline.startTick = 0;
        setCamera(sentinel);
    }
    Timeline timeline;
};

TEST_F(TimelineTest, RegistrationStoresStartPoseVelocityAndHopTracks)
{
    timeline.addCameraSegment(100, 300, poseA, poseB);
    ASSERT_EQ(timeline.segmentStart.size(), 1u);
    EXPECT_EQ(timeline.segmentStart[0], 100);
    EXPECT_EQ(timeline.segmentEnd[0], 300);
    EXPECT_FLOAT_EQ(timeline.segmentFrom[0].x, poseA.x);
    EXPECT_FLOAT_EQ(timeline.segmentVelocity[0].x, 0.05f);
    EXPECT_FLOAT_EQ(timeline.segmentVelocity[0].y, -0.05f);
    EXPECT_FLOAT_EQ(timeline.segmentVelocity[0].z, 0.0f);
    EXPECT_FLOAT_EQ(timeline.segmentVelocity[0].yaw, 0.01f);
    EXPECT_FLOAT_EQ(timeline.segmentVelocity[0].pitch, 0.005f);

    SceneObject object = placedObject();
    timeline.addJump(1000, &object);
    ASSERT_EQ(timeline.trackStart.size(), 2u);
    EXPECT_EQ(timeline.trackStart[0], 1000);
    EXPECT_EQ(timeline.trackEnd[0], 1200);
    EXPECT_EQ(timeline.trackStart[1], 1200);
    EXPECT_EQ(timeline.trackEnd[1], 1400);
    EXPECT_EQ(timeline.trackFrom[0], glm::vec3(0.7f, 1.8f, 0.0f));
    expectNear(timeline.trackTo[0], glm::vec3(0.7f, 5.8f, 0.0f));
    EXPECT_EQ(timeline.trackFrom[1], timeline.trackTo[0]);
    EXPECT_EQ(timeline.trackTo[1], timeline.trackFrom[0]);
    EXPECT_FLOAT_EQ(timeline.trackVelocity[0].y, 0.02f);
    EXPECT_FLOAT_EQ(timeline.trackVelocity[1].y, -0.02f);
    EXPECT_EQ(timeline.trackVelocity[0].x, 0.0f);
    EXPECT_EQ(timeline.trackObject[0], &object);
    EXPECT_EQ(timeline.trackObject[1], &object);
    EXPECT_FALSE(timeline.trackDone[0]);
    EXPECT_FALSE(timeline.trackDone[1]);
    // Registering reads the object, never moves it.
    EXPECT_EQ(object.position, glm::vec3(0.7f, 1.8f, 0.0f));
}

TEST_F(TimelineTest, CameraWindowIsOpenAtBothEnds)
{
    timeline.addCameraSegment(100, 200, poseA, poseB);
    for (int elapsed : {0, 100, 200, 201, 5000, -50}) {
        setCamera(sentinel);
        timeline.update(elapsed);
        SCOPED_TRACE(elapsed);
        expectCamera(sentinel);
    }
    timeline.update(101);
    expectCamera(between(poseA, poseB, 100, 200, 101));
    timeline.update(150);
    expectCamera(between(poseA, poseB, 100, 200, 150));
    timeline.update(199);
    expectCamera(between(poseA, poseB, 100, 200, 199));
}

TEST_F(TimelineTest, ClosedSegmentKeepsLastFramePoseWithoutSnapping)
{
    timeline.addCameraSegment(0, 100, poseA, poseB);
    timeline.update(90);
    const CameraPose at90 = between(poseA, poseB, 0, 100, 90);
    timeline.update(150);
    expectCamera(at90);
    EXPECT_NE(cameraPosition.x, poseB.x);
}

TEST_F(TimelineTest, TouchingSegmentsLeaveThePoseAtTheSharedInstant)
{
    timeline.addCameraSegment(0, 100, poseA, poseB);
    timeline.addCameraSegment(100, 200, poseB, poseC);
    timeline.update(97);
    const CameraPose at97 = between(poseA, poseB, 0, 100, 97);
    expectCamera(at97);
    timeline.update(100);
    expectCamera(at97);
    timeline.update(101);
    expectCamera(between(poseB, poseC, 100, 200, 101));
}

TEST_F(TimelineTest, CutJumpsToTheNewStartPose)
{
    timeline.addCameraSegment(0, 100, poseA, poseB);
    timeline.addCameraSegment(150, 250, poseC, poseD);
    timeline.update(99);
    timeline.update(120);  // in the gap: untouched
    expectCamera(between(poseA, poseB, 0, 100, 99));
    timeline.update(151);
    expectCamera(between(poseC, poseD, 150, 250, 151));
    EXPECT_NEAR(cameraPosition.x, poseC.x, 0.05f);
}

TEST_F(TimelineTest, OverlappingSegmentsLastRegisteredWins)
{
    timeline.addCameraSegment(0, 1000, poseA, poseB);
    timeline.addCameraSegment(400, 600, poseC, poseD);
    timeline.update(500);
    expectCamera(between(poseC, poseD, 400, 600, 500));
    timeline.update(700);
    expectCamera(between(poseA, poseB, 0, 1000, 700));
}

TEST_F(TimelineTest, EmptyOrReversedSegmentNeverActs)
{
    timeline.addCameraSegment(300, 300, poseA, poseB);
    timeline.addCameraSegment(500, 400, poseA, poseB);
    for (int elapsed : {299, 300, 301, 399, 450, 501}) {
        timeline.update(elapsed);
        SCOPED_TRACE(elapsed);
        expectCamera(sentinel);
    }
    // Nothing unbounded is kept for a window that can never open.
    EXPECT_EQ(timeline.segmentVelocity[0].x, 0.0f);
    EXPECT_EQ(timeline.segmentVelocity[0].yaw, 0.0f);
}

TEST_F(TimelineTest, HopRisesSnapsToTheTopFallsAndLandsBack)
{
    SceneObject object = placedObject();
    const glm::vec3 p = object.position;
    timeline.addJump(1000, &object);

    timeline.update(1000);
    EXPECT_EQ(object.position, p);
    timeline.update(1100);
    EXPECT_NEAR(object.position.y - p.y, 2.0f, 1e-5f);
    EXPECT_NEAR(object.position.x, p.x, 1e-5f);
    EXPECT_NEAR(object.position.z, p.z, 1e-5f);
    timeline.update(1200);  // both windows closed at this instant, the rise not yet past
    EXPECT_NEAR(object.position.y - p.y, 2.0f, 1e-5f);
    EXPECT_FALSE(timeline.trackDone[0]);
    timeline.update(1250);
    EXPECT_TRUE(timeline.trackDone[0]);
    EXPECT_NEAR(object.position.y - p.y, 3.0f, 1e-5f);
    timeline.update(1400);
    EXPECT_NEAR(object.position.y - p.y, 3.0f, 1e-5f);
    timeline.update(1401);
    EXPECT_TRUE(timeline.trackDone[1]);
    EXPECT_NEAR(object.position.y, p.y, 1e-5f);
    EXPECT_NEAR(object.position.x, p.x, 1e-5f);
    timeline.update(2000);
    EXPECT_NEAR(object.position.y, p.y, 1e-5f);

    // The moves went through translate: the model matrix followed the hop and came back.
    const SceneObject reference = placedObject();
    for (int c = 0; c < 4; ++c) {
        EXPECT_NEAR(object.model[3][c], reference.model[3][c], 1e-5f);
    }
}

TEST_F(TimelineTest, HopTranslatesInTheObjectsOwnFrame)
{
    SceneObject object;
    object.scale(0.3f, 0.3f, 0.3f);
    object.translate(0.0f, 1.3f, -5.0f);
    timeline.addJump(0, &object);
    timeline.update(100);
    EXPECT_NEAR(object.position.y, 3.3f, 1e-5f);
    EXPECT_NEAR(object.model[3][1], 0.39f + 0.6f, 1e-5f);  // 2 units up at scale 0.3
}

TEST_F(TimelineTest, BackToBackHopsOfOneObject)
{
    SceneObject object = placedObject();
    const float y0 = object.position.y;
    timeline.addJump(1000, &object);
    timeline.addJump(1400, &object);

    timeline.update(1300);
    EXPECT_NEAR(object.position.y - y0, 2.0f, 1e-5f);
    // The older fall snaps to the ground first, then the newer rise interpolates.
    timeline.update(1450);
    EXPECT_TRUE(timeline.trackDone[1]);
    EXPECT_NEAR(object.position.y - y0, 1.0f, 1e-5f);
    timeline.update(1700);
    EXPECT_NEAR(object.position.y - y0, 2.0f, 1e-5f);
    timeline.update(1801);
    EXPECT_NEAR(object.position.y, y0, 1e-5f);

    // At a frame rate, the object never leaves the band [0, 4] above the ground.
    SceneObject other = placedObject();
    Timeline framed;
    framed.startTick = 0;
    framed.addJump(1000, &other);
    framed.addJump(1400, &other);
    for (int t = 990; t < 1900; t += 17) {
        framed.update(t);
        EXPECT_GE(other.position.y - y0, -1e-5f);
        EXPECT_LE(other.position.y - y0, 4.0f + 1e-5f);
    }
    EXPECT_NEAR(other.position.y, y0, 1e-5f);
}

TEST_F(TimelineTest, ObjectsHopIndependently)
{
    SceneObject first = placedObject();
    SceneObject second;
    second.translate(0.0f, 1.3f, -10.0f);
    timeline.addJump(0, &first);
    timeline.addJump(100, &second);
    timeline.update(150);
    EXPECT_NEAR(first.position.y, 1.8f + 3.0f, 1e-5f);
    EXPECT_NEAR(second.position.y, 1.3f + 1.0f, 1e-5f);
    EXPECT_NEAR(second.position.z, -10.0f, 1e-5f);
}

TEST_F(TimelineTest, SameObjectTwiceAtOneTimeFollowsTheLaterTracks)
{
    SceneObject object;
    timeline.addJump(500, &object);
    object.translate(3.0f, 0.0f, 0.0f);
    timeline.addJump(500, &object);  // registered from a different place
    timeline.update(600);
    EXPECT_NEAR(object.position.x, 3.0f, 1e-5f);
    EXPECT_NEAR(object.position.y, 2.0f, 1e-5f);
    timeline.update(950);
    expectNear(object.position, glm::vec3(3.0f, 0.0f, 0.0f));
}

TEST_F(TimelineTest, ObjectMovedByOtherCodeIsPulledBackByItsNextActiveTrack)
{
    SceneObject object = placedObject();
    const glm::vec3 p = object.position;
    timeline.addJump(1000, &object);
    object.translate(5.0f, -1.0f, 2.0f);
    timeline.update(500);  // no track active yet: left where it was moved
    EXPECT_EQ(object.position, p + glm::vec3(5.0f, -1.0f, 2.0f));
    timeline.update(1050);
    EXPECT_NEAR(object.position.x, p.x, 1e-5f);
    EXPECT_NEAR(object.position.y, p.y + 1.0f, 1e-5f);
    EXPECT_NEAR(object.position.z, p.z, 1e-5f);
}

TEST_F(TimelineTest, CatchingUpAfterAPause)
{
    timeline.addCameraSegment(0, 1000, poseA, poseB);
    timeline.addCameraSegment(2000, 3000, poseB, poseC);
    SceneObject object;
    timeline.addJump(100, &object);
    object.translate(2.0f, 0.0f, 0.0f);
    timeline.addJump(600, &object);  // from the new place
    SceneObject bystander;
    timeline.addJump(5000, &bystander);

    timeline.update(50);
    // A long pause: the camera jumps to the segment holding the new time; every closed track
    // snaps once, in registration order, so the later hop's landing place is where it ends.
    timeline.update(2500);
    expectCamera(between(poseB, poseC, 2000, 3000, 2500));
    expectNear(object.position, glm::vec3(2.0f, 0.0f, 0.0f));
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(timeline.trackDone[i]) << i;
    }
    EXPECT_FALSE(timeline.trackDone[4]);
    EXPECT_EQ(bystander.position, glm::vec3(0.0f));

    // The snaps are spent: moving the object away is no longer undone.
    const glm::vec3 movedAway = object.position + glm::vec3(0.0f, 0.0f, 7.0f);
    object.translate(0.0f, 0.0f, 7.0f);
    timeline.update(2600);
    EXPECT_EQ(object.position, movedAway);

    // A pause ending in a gap leaves the camera alone.
    setCamera(sentinel);
    timeline.update(4000);
    expectCamera(sentinel);
}

TEST_F(TimelineTest, ShowTimeSurvivesTickWrapAround)
{
    timeline.addCameraSegment(0, 200, poseA, poseB);
    SceneObject object;
    timeline.addJump(50, &object);

    // The tick count wraps from 0xFFFFFFFF to 0 between the start and now.
    timeline.startTick = static_cast<int32_t>(0xFFFFFFF0u);
    timeline.update(84);  // 100 ms after the start
    expectCamera(between(poseA, poseB, 0, 200, 100));
    EXPECT_NEAR(object.position.y, 1.0f, 1e-5f);

    // A start just below INT32_MAX and a reading past it: signed wrap of the tick itself.
    Timeline late;
    late.addCameraSegment(0, 200, poseA, poseB);
    SceneObject other;
    late.addJump(50, &other);
    late.startTick = INT32_MAX - 9;
    setCamera(sentinel);
    late.update(INT32_MIN + 90);  // 100 ms after the start
    expectCamera(between(poseA, poseB, 0, 200, 100));
    EXPECT_NEAR(other.position.y, 1.0f, 1e-5f);
    late.update(INT32_MIN + 500);
    EXPECT_NEAR(other.position.y, 0.0f, 1e-5f);
    EXPECT_TRUE(late.trackDone[1]);
}

TEST_F(TimelineTest, WindowsNearTheInt32Limits)
{
    // Times at the edge of the range must not overflow when measuring into a window.
    timeline.addCameraSegment(INT32_MIN + 10, INT32_MAX - 10, poseA, poseB);
    timeline.update(INT32_MAX - 20);
    EXPECT_NEAR(cameraPosition.x, poseB.x, 1e-3f);
    EXPECT_NEAR(cameraYaw, poseB.yaw, 1e-4f);
}

TEST_F(TimelineTest, NullObjectRegistersNothing)
{
    timeline.addJump(100, nullptr);
    EXPECT_TRUE(timeline.trackStart.empty());
    EXPECT_TRUE(timeline.trackObject.empty());
    timeline.update(300);
}

}  // namespace
