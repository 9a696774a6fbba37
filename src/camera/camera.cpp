// Camera pose, free flight by mouse and arrow keys, and the look-at and perspective matrices.
#include "camera/camera.h"

#include "platform/clock.h"

#include <GLFW/glfw3.h>

#include <cmath>
#include <optional>

glm::vec3 cameraPosition(0.0f, 0.0f, 5.0f);
float cameraYaw = 3.17f;
float cameraPitch = 0.03f;
const float cameraMoveSpeed = 3.0f;
const float cameraMouseSpeed = 0.005f;
glm::mat4 viewMatrix(1.0f);
glm::mat4 projectionMatrix(1.0f);

namespace {

// The seconds clock at the previous update; empty until the first one.
std::optional<double> lastCameraTime;

// Free flight re-centres the cursor here every frame, whatever the window size.
constexpr double cursorRestX = 512.0;
constexpr double cursorRestY = 384.0;

glm::vec3 normalized(glm::vec3 v)
{
    return v * (1.0f / std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z));
}

}  // namespace

glm::vec3 cameraDirection(float yaw, float pitch)
{
    return glm::vec3(std::cos(pitch) * std::sin(yaw), std::sin(pitch), std::cos(pitch) * std::cos(yaw));
}

glm::vec3 cameraRight(float yaw)
{
    return glm::vec3(std::sin(yaw - 1.57f), 0.0f, std::cos(yaw - 1.57f));
}

glm::mat4 cameraProjectionFor(float aspect)
{
    const float t = std::tan(0.5235988f);
    glm::mat4 m(0.0f);
    m[0][0] = 1.0f / (t * aspect);
    m[1][1] = 1.0f / t;
    m[2][2] = -1.002002f;
    m[2][3] = -1.0f;
    m[3][2] = -0.2002002f;
    return m;
}

glm::mat4 lookAt(glm::vec3 eye, glm::vec3 center, glm::vec3 up)
{
    const glm::vec3 f = normalized(center - eye);
    const glm::vec3 u0 = normalized(up);
    const glm::vec3 s = normalized(glm::cross(f, u0));
    const glm::vec3 u = glm::cross(s, f);
    glm::mat4 m(1.0f);
    m[0] = glm::vec4(s.x, u.x, -f.x, 0.0f);
    m[1] = glm::vec4(s.y, u.y, -f.y, 0.0f);
    m[2] = glm::vec4(s.z, u.z, -f.z, 0.0f);
    m[3] = glm::vec4(-glm::dot(s, eye), -glm::dot(u, eye), glm::dot(f, eye), 1.0f);
    return m;
}

void updateCameraMatrices(GLFWwindow* window, bool followTimeline, float aspect)
{
    if (!lastCameraTime) {
        lastCameraTime = secondsNow();
    }
    const double now = secondsNow();
    const float deltaTime = static_cast<float>(now - *lastCameraTime);

    if (!followTimeline) {
        double x = 0.0;
        double y = 0.0;
        glfwGetCursorPos(window, &x, &y);
        glfwSetCursorPos(window, cursorRestX, cursorRestY);
        cameraYaw += cameraMouseSpeed * static_cast<float>(cursorRestX - x);
        cameraPitch += cameraMouseSpeed * static_cast<float>(cursorRestY - y);
    }

    const glm::vec3 direction = cameraDirection(cameraYaw, cameraPitch);
    const glm::vec3 right = cameraRight(cameraYaw);
    const glm::vec3 up = glm::cross(right, direction);

    if (!followTimeline) {
        if (glfwGetKey(window, GLFW_KEY_UP) == GLFW_PRESS) {
            cameraPosition += direction * deltaTime * cameraMoveSpeed;
        }
        if (glfwGetKey(window, GLFW_KEY_DOWN) == GLFW_PRESS) {
            cameraPosition -= direction * deltaTime * cameraMoveSpeed;
        }
        if (glfwGetKey(window, GLFW_KEY_RIGHT) == GLFW_PRESS) {
            cameraPosition += right * deltaTime * cameraMoveSpeed;
        }
        if (glfwGetKey(window, GLFW_KEY_LEFT) == GLFW_PRESS) {
            cameraPosition -= right * deltaTime * cameraMoveSpeed;
        }
    }

    projectionMatrix = cameraProjectionFor(aspect);
    viewMatrix = lookAt(cameraPosition, cameraPosition + direction, up);
    lastCameraTime = now;
}

glm::mat4 getViewMatrix()
{
    return viewMatrix;
}

glm::mat4 getProjectionMatrix()
{
    return projectionMatrix;
}

void resetCameraClock()
{
    lastCameraTime.reset();
}
