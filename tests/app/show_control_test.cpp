// The show control on a scene without GL: the camera path and hops it registers, the timed and
// keyed style switches, the camera toggle, and the show clock, driven by the virtual tick.
#include "app/scene.h"
#include "app/show_control.h"
#include "app/show_script.h"
#include "camera/camera.h"
#include "platform/clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

constexpr GLuint toon = 11;
constexpr GLuint shadow = 12;
constexpr GLuint bump = 13;

const StageObject bumpFour[] = {StageObject::stone, StageObject::ground, StageObject::mario, StageObject::luigi};
const StageObject otherFive[] = {StageObject::background, StageObject::turmGross, StageObject::turmKlein,
                                 StageObject::goomba1, StageObject::goomba2};
const StageObject hoppers[] = {StageObject::mario, StageObject::luigi, StageObject::goomba1, StageObject::goomba2};

ShowKeys keysDown(bool toonKey, bool shadowKey, bool bumpKey, bool cameraKey)
{
    ShowKeys keys;
    keys.toon = toonKey;
    keys.shadow = shadowKey;
    keys.bump = bumpKey;
    keys.autoCamera = cameraKey;
    return keys;
}

class ShowControlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        setenv("ALSOFT_DRIVERS", "null", 0);
    }

    void SetUp() override
    {
        startShowAt(5000.0);
    }
    void TearDown() override
    {
        virtualClock.enabled = false;
    }

    // A scene as loading leaves it: placed objects, the toon look, fake distinct program ids.
    void startShowAt(double tickMs)
    {
        scene = std::make_unique<Scene>();
        scene->renderer.toonProgram = toon;
        scene->renderer.shadowMappingProgram = shadow;
        scene->renderer.bumpMappingProgram = bump;
        scene->placeObjects();
        applyStyle(*scene, toonStyle);
        scene->renderer.autoCamera = true;

        virtualClock.enabled = true;
        virtualClock.milliseconds = tickMs;
        startTickMs = tickMs;
        show = std::make_unique<ShowControl>();
        show->prepare();
        show->start(*scene);
    }

    // One frame at the given show time: sound update, timeline step, switches after the swap.
    void frameAt(double showMs, const ShowKeys& keys = ShowKeys())
    {
        virtualClock.milliseconds = startTickMs + showMs;
        show->beginFrame();
        show->advance(*scene);
        show->applySwitches(*scene, keys);
    }

    void expectLook(GLuint fourProgram, bool fourBump, GLuint fiveProgram, bool shadows)
    {
        for (StageObject which : bumpFour) {
            EXPECT_EQ(scene->object(which).program, fourProgram);
            EXPECT_EQ(scene->object(which).useBumpMap, fourBump);
        }
        for (StageObject which : otherFive) {
            EXPECT_EQ(scene->object(which).program, fiveProgram);
            EXPECT_FALSE(scene->object(which).useBumpMap);
        }
        EXPECT_EQ(scene->renderer.shadowsEnabled, shadows);
    }

    double startTickMs = 0.0;
    std::unique_ptr<Scene> scene;
    std::unique_ptr<ShowControl> show;
};

// The stage table's placements put every model where the show's camera path expects it; the
// translations of the turned and scaled objects act in their own frames.
TEST_F(ShowControlTest, StagePlacementsPutTheModelsWhereTheShowLooks)
{
    const auto origin = [this](StageObject which) { return glm::vec3(scene->object(which).model[3]); };
    const auto expectAt = [](glm::vec3 actual, glm::vec3 expected, const char* name) {
        EXPECT_NEAR(actual.x, expected.x, 1e-5f) << name;
        EXPECT_NEAR(actual.y, expected.y, 1e-5f) << name;
        EXPECT_NEAR(actual.z, expected.z, 1e-5f) << name;
    };
    expectAt(origin(StageObject::mario), {-0.7f, 1.8f, 0.0f}, "mario");
    expectAt(origin(StageObject::luigi), {0.0f, 1.1f, 2.0f}, "luigi");
    expectAt(origin(StageObject::goomba1), {0.0f, 0.39f, -1.5f}, "goomba1");
    expectAt(origin(StageObject::goomba2), {0.0f, 0.39f, -3.0f}, "goomba2");
    expectAt(origin(StageObject::stone), {0.0f, 4.0f, -4.0f}, "stone");
    expectAt(origin(StageObject::turmKlein), {0.0f, 0.0f, 2.0f}, "turmKlein");
    // The running translations are the plain sums of the arguments.
    expectAt(scene->object(StageObject::goomba2).position, {0.0f, 1.3f, -10.0f}, "goomba2 position");
    expectAt(scene->object(StageObject::luigi).position, {0.0f, 1.1f, -2.0f}, "luigi position");
    // The rest keep the identity.
    for (StageObject which : {StageObject::background, StageObject::ground, StageObject::turmGross}) {
        EXPECT_EQ(scene->object(which).model, glm::mat4(1.0f)) << stageEntry(which).name;
    }
    // Every object but the background and the ground has a contour, and the passes draw each
    // object exactly once.
    int outlined = 0;
    bool drawn[stageObjectCount] = {};
    for (StageObject which : stageDrawOrder) {
        outlined += stageEntry(which).outlined ? 1 : 0;
        EXPECT_FALSE(drawn[stageIndex(which)]) << stageEntry(which).name;
        drawn[stageIndex(which)] = true;
    }
    EXPECT_EQ(outlined, 7);
    EXPECT_FALSE(stageEntry(StageObject::background).outlined);
    EXPECT_FALSE(stageEntry(StageObject::ground).outlined);
}

TEST_F(ShowControlTest, PrepareBuildsTheTenSegmentCameraPath)
{
    const Timeline& t = show->timeline;
    const int starts[] = {1, 15800, 21038, 35028, 40767, 53796, 58794, 63683, 68571, 73373};
    const int ends[] = {10191, 19947, 29222, 39196, 53796, 58794, 63683, 68571, 73373, 82059};
    ASSERT_EQ(t.segmentStart.size(), 10u);
    ASSERT_EQ(t.segmentVelocity.size(), 10u);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(t.segmentStart[i], starts[i]) << i;
        EXPECT_EQ(t.segmentEnd[i], ends[i]) << i;
    }
    // First and cut segments start from their own poses.
    EXPECT_FLOAT_EQ(t.segmentFrom[0].x, -0.638742f);
    EXPECT_FLOAT_EQ(t.segmentFrom[0].pitch, 0.00500237f);
    EXPECT_FLOAT_EQ(t.segmentFrom[2].z, 11.0473f);
    EXPECT_FLOAT_EQ(t.segmentFrom[4].yaw, 5.91001f);
    EXPECT_FLOAT_EQ(t.segmentFrom[8].x, -0.0879303f);
    // Segments that follow on start where the one before would end.
    for (int i : {1, 3, 5, 6, 7, 8, 9}) {
        const float d = static_cast<float>(t.segmentEnd[i - 1] - t.segmentStart[i - 1]);
        EXPECT_NEAR(t.segmentFrom[i - 1].x + t.segmentVelocity[i - 1].x * d, t.segmentFrom[i].x, 1e-4f) << i;
        EXPECT_NEAR(t.segmentFrom[i - 1].yaw + t.segmentVelocity[i - 1].yaw * d, t.segmentFrom[i].yaw, 1e-4f) << i;
    }
    // The last one ends on P12, yaw unwrapped past 2 pi.
    const float d = 82059.0f - 73373.0f;
    EXPECT_NEAR(t.segmentFrom[9].x + t.segmentVelocity[9].x * d, 7.91417f, 1e-4f);
    EXPECT_NEAR(t.segmentFrom[9].yaw + t.segmentVelocity[9].yaw * d, 11.0001f, 1e-4f);
    EXPECT_NEAR(t.segmentFrom[9].pitch + t.segmentVelocity[9].pitch * d, -0.0149982f, 1e-5f);
}

TEST_F(ShowControlTest, StartRegistersTheHundredSixteenHops)
{
    const Timeline& t = show->timeline;
    ASSERT_EQ(t.trackStart.size(), 232u);
    EXPECT_EQ(t.startTick, 5000);

    const struct {
        int track;
        int startMs;
        SceneObject* object;
    } expected[] = {
        {0, 10519, &scene->object(StageObject::mario)},     {2, 29375, &scene->object(StageObject::luigi)},
        {4, 48428, &scene->object(StageObject::goomba1)},   {6, 48428, &scene->object(StageObject::goomba2)},
        {8, 73473, &scene->object(StageObject::mario)},     {10, 73573, &scene->object(StageObject::luigi)},
        {12, 73673, &scene->object(StageObject::goomba1)},  {14, 73773, &scene->object(StageObject::goomba2)},
        {16, 73873, &scene->object(StageObject::mario)},    {228, 84473, &scene->object(StageObject::goomba1)},
        {230, 84573, &scene->object(StageObject::goomba2)},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(t.trackStart[e.track], e.startMs) << e.track;
        EXPECT_EQ(t.trackObject[e.track], e.object) << e.track;
        EXPECT_EQ(t.trackObject[e.track + 1], e.object) << e.track;
    }
    EXPECT_EQ(t.trackEnd[231], 84973);

    // Every character hops 29 times from where it was placed; in the closing series each hop
    // starts exactly 400 ms after its previous one.
    for (StageObject which : hoppers) {
        const SceneObject* object = &scene->object(which);
        int hops = 0;
        int lastSeriesStart = 0;
        for (size_t i = 0; i < t.trackStart.size(); i += 2) {
            if (t.trackObject[i] != object) {
                continue;
            }
            ++hops;
            EXPECT_EQ(t.trackFrom[i], object->position);
            EXPECT_EQ(t.trackEnd[i], t.trackStart[i] + 200);
            if (t.trackStart[i] > 70000) {
                if (lastSeriesStart != 0) {
                    EXPECT_EQ(t.trackStart[i] - lastSeriesStart, 400);
                }
                lastSeriesStart = t.trackStart[i];
            }
        }
        EXPECT_EQ(hops, 29);
    }
    EXPECT_EQ(t.trackFrom[6], glm::vec3(0.0f, 1.3f, -10.0f));
}

TEST_F(ShowControlTest, TimedSwitchesFireOnceAtTheirThresholds)
{
    frameAt(0);
    expectLook(toon, false, toon, false);
    frameAt(29222);  // 29222 < 29222.751
    expectLook(toon, false, toon, false);
    EXPECT_FALSE(show->shadowSwitchDone);
    frameAt(29223);
    expectLook(shadow, false, shadow, true);
    EXPECT_TRUE(show->shadowSwitchDone);

    // Spent: a later frame does not apply the shadow style again.
    scene->object(StageObject::turmGross).program = 99;
    frameAt(30000);
    EXPECT_EQ(scene->object(StageObject::turmGross).program, 99u);
    scene->object(StageObject::turmGross).program = shadow;

    frameAt(48428);
    expectLook(shadow, false, shadow, true);
    frameAt(48429);
    expectLook(bump, true, shadow, true);
    EXPECT_TRUE(show->bumpSwitchDone);
    scene->object(StageObject::mario).program = 99;
    frameAt(90000);
    EXPECT_EQ(scene->object(StageObject::mario).program, 99u);
}

TEST_F(ShowControlTest, EarlyShadowKeyCancelsTheTimedSwitch)
{
    frameAt(1000, keysDown(false, true, false, false));
    expectLook(shadow, false, shadow, true);
    EXPECT_TRUE(show->shadowSwitchDone);
    frameAt(2000, keysDown(true, false, false, false));
    expectLook(toon, false, toon, false);
    frameAt(29223);
    frameAt(40000);
    expectLook(toon, false, toon, false);
    // The bump switch is independent and still comes.
    frameAt(48429);
    expectLook(bump, true, toon, true);
}

TEST_F(ShowControlTest, EarlyBumpKeyThenTheTimedShadowSwitchTakesAllNine)
{
    frameAt(1000, keysDown(false, false, true, false));
    expectLook(bump, true, toon, true);
    EXPECT_TRUE(show->bumpSwitchDone);
    frameAt(29223);
    expectLook(shadow, false, shadow, true);
    frameAt(48429);
    frameAt(60000);
    expectLook(shadow, false, shadow, true);
}

TEST_F(ShowControlTest, ToonKeyAfterBothSwitchesIsFinal)
{
    frameAt(29223);
    frameAt(48429);
    frameAt(50000, keysDown(true, false, false, false));
    expectLook(toon, false, toon, false);
    for (double ms = 50500; ms < 100000; ms += 7919) {
        frameAt(ms);
    }
    expectLook(toon, false, toon, false);
}

TEST_F(ShowControlTest, ToonAndBumpInOneFrameBumpWinsForItsFour)
{
    frameAt(1000, keysDown(true, false, true, false));
    expectLook(bump, true, toon, true);

    frameAt(29223);
    frameAt(50000, keysDown(true, false, true, false));
    expectLook(bump, true, toon, true);
}

TEST_F(ShowControlTest, ShadowKeyStillActsAfterTheTimedSwitchAndAfterToon)
{
    frameAt(30000);
    frameAt(30100, keysDown(true, false, false, false));
    frameAt(30200, keysDown(true, true, false, false));
    expectLook(shadow, false, shadow, true);
}

TEST_F(ShowControlTest, CameraKeyTogglesOncePerFrameWhileHeld)
{
    const ShowKeys held = keysDown(false, false, false, true);
    frameAt(100, held);
    EXPECT_FALSE(scene->renderer.autoCamera);
    frameAt(120, held);
    EXPECT_TRUE(scene->renderer.autoCamera);
    frameAt(140, held);
    EXPECT_FALSE(scene->renderer.autoCamera);
    frameAt(160);
    EXPECT_FALSE(scene->renderer.autoCamera);
}

TEST_F(ShowControlTest, CameraOffFreezesPathAndHopsButNotTheSwitches)
{
    frameAt(5000);
    const glm::vec3 eye = cameraPosition;
    const glm::vec3 marioRest = scene->object(StageObject::mario).position;

    frameAt(5016, keysDown(false, false, false, true));  // toggled after this frame's step
    const glm::vec3 frozenEye = cameraPosition;
    const float frozenYaw = cameraYaw;
    EXPECT_NE(frozenEye, eye);
    EXPECT_FALSE(scene->renderer.autoCamera);
    frameAt(8000);
    frameAt(10700);  // mario's first hop would be at its top
    EXPECT_EQ(cameraPosition, frozenEye);
    EXPECT_EQ(scene->object(StageObject::mario).position, marioRest);
    EXPECT_EQ(cameraYaw, frozenYaw);

    frameAt(29300);
    expectLook(shadow, false, shadow, true);
    EXPECT_EQ(show->showTime(), 29300);

    // Back on: the camera jumps into the segment holding the time, closed hops snap home.
    frameAt(36000, keysDown(false, false, false, true));
    EXPECT_EQ(cameraPosition, frozenEye);  // the toggle acts after this frame's step
    frameAt(37000);
    EXPECT_NEAR(cameraPitch, -0.0899976f + (-1.03f + 0.0899976f) * (1972.0f / 4168.0f), 1e-4f);
    EXPECT_NEAR(scene->object(StageObject::mario).position.y, marioRest.y, 1e-5f);
    EXPECT_TRUE(show->timeline.trackDone[0]);
    EXPECT_TRUE(show->timeline.trackDone[3]);  // luigi's hop at 29375 went by while frozen
}

TEST_F(ShowControlTest, ShowClockRunsAcrossATickWrap)
{
    startShowAt(4294967296.0 - 1000.0);
    EXPECT_EQ(show->timeline.startTick, -1000);
    frameAt(999);
    EXPECT_EQ(show->showTime(), 999);
    frameAt(1001);  // the tick count now reads 1
    EXPECT_EQ(show->tick, 1);
    EXPECT_EQ(show->showTime(), 1001);
    frameAt(29222);
    expectLook(toon, false, toon, false);
    frameAt(29223);
    expectLook(shadow, false, shadow, true);
}

TEST_F(ShowControlTest, WholeShowWithoutKeys)
{
    glm::vec3 rest[4];
    for (int i = 0; i < 4; ++i) {
        rest[i] = scene->object(hoppers[i]).position;
    }
    float highest = 0.0f;
    for (double ms = 0.0; ms < 90000.0; ms += 1000.0 / 60.0) {
        frameAt(ms);
        for (int i = 0; i < 4; ++i) {
            const float lift = scene->object(hoppers[i]).position.y - rest[i].y;
            ASSERT_GE(lift, -1e-4f) << ms;
            ASSERT_LE(lift, 4.0f + 1e-4f) << ms;
            highest = std::max(highest, lift);
        }
        if (ms > 20000.0 && ms < 29000.0) {
            ASSERT_EQ(scene->renderer.shadowsEnabled, false) << ms;
        }
    }
    EXPECT_GT(highest, 3.9f);
    for (int i = 0; i < 4; ++i) {
        const glm::vec3 now = scene->object(hoppers[i]).position;
        EXPECT_NEAR(now.x, rest[i].x, 1e-4f);
        EXPECT_NEAR(now.y, rest[i].y, 1e-4f);
        EXPECT_NEAR(now.z, rest[i].z, 1e-4f);
    }
    for (size_t i = 0; i < show->timeline.trackDone.size(); ++i) {
        EXPECT_TRUE(show->timeline.trackDone[i]) << i;
    }
    expectLook(bump, true, shadow, true);
    // The last frame inside the final segment falls just short of P12.
    EXPECT_NEAR(cameraPosition.x, 7.91417f, 0.02f);
    EXPECT_NEAR(cameraYaw, 11.0001f, 0.01f);
}

}  // namespace
