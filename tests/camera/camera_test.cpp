// Camera: direction vectors, look-at, projection, and free flight by cursor and arrow keys on a
// real window (keys are injected with xdotool, the cursor with glfwSetCursorPos).
#include "camera/camera.h"
#include "platform/clock.h"
#include "support/gl_context.h"
#include "support/process.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float pi = 3.14159265f;

void expectMatrixNear(const glm::mat4& actual, const glm::mat4& expected, float tolerance)
{
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            EXPECT_NEAR(actual[c][r], expected[c][r], tolerance) << "column " << c << " row " << r;
        }
    }
}

// Starts the camera's clock at a known virtual instant and sets a pose.
void resetPose(glm::vec3 position, float yaw, float pitch)
{
    cameraPosition = position;
    cameraYaw = yaw;
    cameraPitch = pitch;
    virtualClock.enabled = true;
    virtualClock.milliseconds = 1000.0;
    resetCameraClock();
}

// Presses or releases keys through the X server, then lets GLFW see the events.
bool xdotool(const std::vector<std::string>& arguments)
{
    std::vector<std::string> argv = {"/usr/bin/xdotool"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const ProcessResult result = runProcess(argv, ProcessOptions());
    for (int k = 0; k < 20; ++k) {
        glfwPollEvents();
    }
    return result.exitStatus == 0;
}

}  // namespace

TEST(Camera, VectorsAndLookAtForYawPi)
{
    const glm::vec3 direction = cameraDirection(pi, 0.0f);
    const glm::vec3 right = cameraRight(pi);
    const glm::vec3 up = glm::cross(right, direction);
    EXPECT_NEAR(direction.x, 0.0f, 1e-6f);
    EXPECT_NEAR(direction.z, -1.0f, 1e-6f);
    EXPECT_NEAR(right.x, 1.0f, 1e-5f);
    EXPECT_NEAR(right.z, -0.000796f, 1e-6f) << "the 1.57 offset is not quite pi/2";
    EXPECT_NEAR(up.y, 1.0f, 1e-5f);

    expectMatrixNear(lookAt(glm::vec3(0.0f), direction, up), glm::mat4(1.0f), 1e-3f);

    // Looking down -z from (1, 2, 3): the eye maps to the origin, a point ahead to -z.
    const glm::mat4 view = lookAt({1, 2, 3}, {1, 2, 2}, {0, 1, 0});
    const glm::vec4 eye = view * glm::vec4(1, 2, 3, 1);
    const glm::vec4 ahead = view * glm::vec4(1, 2, 0, 1);
    EXPECT_NEAR(glm::length(glm::vec3(eye)), 0.0f, 1e-6f);
    EXPECT_NEAR(ahead.z, -3.0f, 1e-6f);
}

TEST(Camera, ProjectionFollowsTheDisplayAspect)
{
    const float t = std::tan(0.5235988f);
    const glm::mat4 square = cameraProjectionFor(4.0f / 3.0f);
    EXPECT_NEAR(square[0][0], 1.0f / (t * 1.3333334f), 1e-6f);

    resetPose({0, 0, 5}, 3.17f, 0.03f);
    updateCameraMatrices(nullptr, true, 1280.0f / 720.0f);  // following the timeline touches no window
    const glm::mat4 p = getProjectionMatrix();
    EXPECT_NEAR(p[0][0], 1.7320508f / (1280.0f / 720.0f), 1e-5f);
    EXPECT_NEAR(p[1][1], 1.7320508f, 1e-5f);
    EXPECT_FLOAT_EQ(p[2][2], -1.002002f);
    EXPECT_FLOAT_EQ(p[2][3], -1.0f);
    EXPECT_FLOAT_EQ(p[3][2], -0.2002002f);
    for (int index : {1, 2, 3, 4, 6, 7, 8, 9, 12, 13, 15}) {
        EXPECT_EQ((&p[0][0])[index], 0.0f) << index;
    }
    // The pose is used as it stands.
    expectMatrixNear(getViewMatrix(),
                     lookAt(cameraPosition, cameraPosition + cameraDirection(3.17f, 0.03f),
                            glm::cross(cameraRight(3.17f), cameraDirection(3.17f, 0.03f))),
                     0.0f);
    virtualClock.enabled = false;
}

class FreeFlight : public testing::Test {
protected:
    void SetUp() override
    {
        window = testGlWindow(1280, 720);
        ASSERT_NE(window, nullptr) << "no X display or GL context";
        // Keys reach the window only while it is shown and under the pointer (no window manager).
        glfwShowWindow(window);
        glfwSetWindowPos(window, 0, 0);
        for (int k = 0; k < 20; ++k) {
            glfwPollEvents();
        }
    }
    void TearDown() override
    {
        virtualClock.enabled = false;
    }
    GLFWwindow* window = nullptr;
};

TEST_F(FreeFlight, CursorOffsetTurnsTheCameraAndIsRecentred)
{
    resetPose({0, 0, 5}, 3.17f, 0.03f);
    glfwSetCursorPos(window, 640, 360);
    updateCameraMatrices(window, false, 4.0f / 3.0f);
    EXPECT_NEAR(cameraYaw, 3.17f - 0.64f, 1e-5f);
    EXPECT_NEAR(cameraPitch, 0.03f + 0.12f, 1e-5f);
    double x = 0.0, y = 0.0;
    glfwGetCursorPos(window, &x, &y);
    EXPECT_NEAR(x, 512.0, 0.5);
    EXPECT_NEAR(y, 384.0, 0.5);

    // Following the timeline, the cursor is left alone and the pose is kept.
    glfwSetCursorPos(window, 100, 200);
    updateCameraMatrices(window, true, 4.0f / 3.0f);
    glfwGetCursorPos(window, &x, &y);
    EXPECT_NEAR(x, 100.0, 0.5);
    EXPECT_NEAR(cameraYaw, 3.17f - 0.64f, 1e-5f);
}

TEST_F(FreeFlight, ArrowKeysMoveAtThreeUnitsPerSecondAndOppositesCancel)
{
    const glm::vec3 start(1, 2, 3);
    resetPose(start, pi, 0.0f);
    glfwSetCursorPos(window, 512, 384);
    updateCameraMatrices(window, false, 4.0f / 3.0f);  // starts the clock

    ASSERT_TRUE(xdotool({"mousemove", "512", "384", "keydown", "Up"}));
    ASSERT_EQ(glfwGetKey(window, GLFW_KEY_UP), GLFW_PRESS) << "key injection did not reach the window";
    virtualClock.milliseconds += 500.0;
    glfwSetCursorPos(window, 512, 384);
    updateCameraMatrices(window, false, 4.0f / 3.0f);
    EXPECT_NEAR(cameraPosition.z, start.z - 1.5f, 1e-4f) << "half a second at 3 units per second";
    EXPECT_NEAR(cameraPosition.x, start.x, 1e-4f);

    ASSERT_TRUE(xdotool({"keydown", "Down", "keydown", "Left", "keydown", "Right"}));
    const glm::vec3 before = cameraPosition;
    virtualClock.milliseconds += 500.0;
    glfwSetCursorPos(window, 512, 384);
    updateCameraMatrices(window, false, 4.0f / 3.0f);
    EXPECT_NEAR(glm::length(cameraPosition - before), 0.0f, 1e-5f);
    xdotool({"keyup", "Up", "keyup", "Down", "keyup", "Left", "keyup", "Right"});
}
