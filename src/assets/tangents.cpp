// Tangent computation: UV gradient per triangle, then Gram-Schmidt and handedness per vertex.
#include "assets/tangents.h"

#include <cmath>

namespace {

bool isFinite(glm::vec3 v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// A unit vector perpendicular to n, taken against the axis least aligned with it.
glm::vec3 perpendicularTo(glm::vec3 n)
{
    const glm::vec3 a = glm::abs(n);
    const glm::vec3 axis = (a.x <= a.y && a.x <= a.z) ? glm::vec3(1, 0, 0)
                           : (a.y <= a.z)             ? glm::vec3(0, 1, 0)
                                                      : glm::vec3(0, 0, 1);
    const glm::vec3 t = glm::cross(n, axis);
    const float length = glm::length(t);
    return length > 0.0f && std::isfinite(length) ? t / length : glm::vec3(1, 0, 0);
}

}  // namespace

void computeTangents(const std::vector<glm::vec3>& positions, const std::vector<glm::vec2>& uvs,
                     const std::vector<glm::vec3>& normals, std::vector<glm::vec3>& tangents,
                     std::vector<glm::vec3>& bitangents)
{
    const size_t count = positions.size();
    tangents.assign(count, glm::vec3(0.0f));
    bitangents.assign(count, glm::vec3(0.0f));

    for (size_t i = 0; i + 2 < count && i + 2 < uvs.size(); i += 3) {
        const glm::vec3 dP1 = positions[i + 1] - positions[i];
        const glm::vec3 dP2 = positions[i + 2] - positions[i];
        const glm::vec2 dUV1 = uvs[i + 1] - uvs[i];
        const glm::vec2 dUV2 = uvs[i + 2] - uvs[i];
        const float determinant = dUV1.x * dUV2.y - dUV1.y * dUV2.x;
        if (determinant == 0.0f) {
            continue;  // no UV gradient: the per-vertex step picks a frame from the normal
        }
        const float r = 1.0f / determinant;
        const glm::vec3 t = (dP1 * dUV2.y - dP2 * dUV1.y) * r;
        const glm::vec3 b = (dP2 * dUV1.x - dP1 * dUV2.x) * r;
        for (size_t k = 0; k < 3; ++k) {
            tangents[i + k] = t;
            bitangents[i + k] = b;
        }
    }

    for (size_t i = 0; i < count; ++i) {
        const glm::vec3 n = i < normals.size() ? normals[i] : glm::vec3(0.0f);
        glm::vec3 t = tangents[i];
        t = t - n * glm::dot(n, t);
        const float length = std::sqrt(glm::dot(t, t));
        if (length > 0.0f && isFinite(t * (1.0f / length))) {
            t = t * (1.0f / length);
            if (glm::dot(glm::cross(n, t), bitangents[i]) < 0.0f) {
                t = t * -1.0f;
            }
        } else {
            t = perpendicularTo(n);
        }
        if (!isFinite(bitangents[i]) || glm::dot(bitangents[i], bitangents[i]) == 0.0f) {
            bitangents[i] = glm::cross(n, t);
        }
        tangents[i] = t;
    }
}
