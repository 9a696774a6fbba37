// Scene object transforms: translate, rotate (degrees, axis without x) and scale, each applied
// on the right of the model matrix.
#include "assets/scene_object.h"

#include <cmath>

void SceneObject::translate(float dx, float dy, float dz)
{
    position += glm::vec3(dx, dy, dz);
    model[3] = model[0] * dx + model[1] * dy + model[2] * dz + model[3];
}

void SceneObject::rotate(float angleDegrees, int axisY, int axisZ)
{
    const float theta = angleDegrees * 0.017453292f;
    const float c = std::cos(theta);
    const float s = std::sin(theta);
    const float t = 1.0f - c;

    glm::vec3 a(0.0f, static_cast<float>(axisY), static_cast<float>(axisZ));
    a *= 1.0f / std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);

    const glm::vec3 r0(t * a.x * a.x + c, t * a.x * a.y + s * a.z, t * a.x * a.z - s * a.y);
    const glm::vec3 r1(t * a.y * a.x - s * a.z, t * a.y * a.y + c, t * a.y * a.z + s * a.x);
    const glm::vec3 r2(t * a.z * a.x + s * a.y, t * a.z * a.y - s * a.x, t * a.z * a.z + c);

    const glm::vec4 m0 = model[0];
    const glm::vec4 m1 = model[1];
    const glm::vec4 m2 = model[2];
    model[0] = m0 * r0.x + m1 * r0.y + m2 * r0.z;
    model[1] = m0 * r1.x + m1 * r1.y + m2 * r1.z;
    model[2] = m0 * r2.x + m1 * r2.y + m2 * r2.z;
}

void SceneObject::scale(float sx, float sy, float sz)
{
    model[0] *= sx;
    model[1] *= sy;
    model[2] *= sz;
}
