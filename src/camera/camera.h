// The process-wide camera: its pose (written by the timeline or by free flight), and the view
// and projection matrices rebuilt from it once per frame.
#pragma once
#include <glm/glm.hpp>

struct GLFWwindow;

// One camera keyframe: eye position, then yaw and pitch in radians.
struct CameraPose {
    float x, y, z, yaw, pitch;
};

extern glm::vec3 cameraPosition;
extern float cameraYaw;               // about world Y; pi looks along -z
extern float cameraPitch;             // positive looks up
extern const float cameraMoveSpeed;   // world units per second
extern const float cameraMouseSpeed;  // radians per pixel of cursor travel
extern glm::mat4 viewMatrix;
extern glm::mat4 projectionMatrix;

// The view direction and the right and up vectors of a yaw and pitch.
glm::vec3 cameraDirection(float yaw, float pitch);
glm::vec3 cameraRight(float yaw);

// Perspective of 60 degrees vertical field of view, near 0.1, far 100, for the given aspect.
glm::mat4 cameraProjectionFor(float aspect);

glm::mat4 lookAt(glm::vec3 eye, glm::vec3 center, glm::vec3 up);

// With followTimeline false the mouse and arrow keys first move the pose (free flight). The
// projection takes the aspect of the viewport it is drawn into, so no display size is stretched.
void updateCameraMatrices(GLFWwindow* window, bool followTimeline, float aspect);
glm::mat4 getViewMatrix();
glm::mat4 getProjectionMatrix();

// Forgets the previous frame's time, so the next update starts timing afresh (tests).
void resetCameraClock();
