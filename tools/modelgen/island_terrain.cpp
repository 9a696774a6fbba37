// Shape of the floating island's top.
#include "island_terrain.h"

#include <algorithm>
#include <cmath>

#include <glm/geometric.hpp>

#include "noise.h"
#include "stage_layout.h"

namespace {

constexpr uint32_t modelSeed = 505u;
// Plaza: flat paving around the towers (0, 0), (0, 2) and the creatures at z = -1.5, -3.
constexpr float plazaCentreZ = -0.4f;
constexpr float plazaRadiusX = 2.4f;
constexpr float plazaRadiusZ = 4.0f;
// Pond just behind the short tower, where the camera waits before the show starts.
constexpr glm::vec2 pondCentre(0.2f, 5.2f);
constexpr float pondRadius = 1.5f;
constexpr float pondDepth = 0.45f;

float superellipseRadius(glm::vec2 n)
{
    return std::pow(std::pow(std::fabs(n.x), islandRoundness) + std::pow(std::fabs(n.y), islandRoundness),
                    1.0f / islandRoundness);
}

// Rim wobble as a factor on the radius, by direction; small enough to keep the rim inside
// the camera's dive line.
float rimWobble(glm::vec2 n)
{
    float angle = std::atan2(n.y, n.x);
    float t = (angle + 3.14159265f) / 6.2831853f;
    return 1.0f + 0.05f * (fbm(glm::vec2(t * 12.0f, 0.5f), 3, modelSeed + 1u, 12) - 0.6f);
}

float pathCentreX(float z)
{
    return 1.0f + 0.55f * std::sin(z * 0.33f + 0.8f);
}

}  // namespace

glm::vec2 islandFootprint(glm::vec2 square)
{
    float r = std::max(std::fabs(square.x), std::fabs(square.y));
    glm::vec2 n(0.0f);
    if (r > 0.0f) {
        n = square * (r / superellipseRadius(square));
    }
    n *= rimWobble(square);
    return glm::vec2(islandCentreX + islandHalfX * n.x, islandCentreZ + islandHalfZ * n.y);
}

float rimCloseness(float x, float z)
{
    glm::vec2 n((x - islandCentreX) / islandHalfX, (z - islandCentreZ) / islandHalfZ);
    float rho = superellipseRadius(n) / rimWobble(n);
    float metresInside = (1.0f - rho) * islandHalfX;
    return smoothstep01(1.2f, 0.0f, metresInside);
}

float plazaMask(float x, float z)
{
    float d = std::hypot(x / plazaRadiusX, (z - plazaCentreZ) / plazaRadiusZ);
    return smoothstep01(1.0f, 0.85f, d);
}

float pathMask(float x, float z)
{
    float d = std::fabs(x - pathCentreX(z)) + 0.15f * (fbm(glm::vec2(x, z) * 2.0f, 2, modelSeed + 3u) - 0.5f);
    return smoothstep01(0.45f, 0.3f, d);
}

float pondMask(float x, float z)
{
    float d = std::hypot(x - pondCentre.x, (z - pondCentre.y) * 0.8f) / pondRadius;
    d += 0.1f * (fbm(glm::vec2(x, z) * 1.5f, 2, modelSeed + 4u) - 0.5f);
    return smoothstep01(1.0f, 0.55f, d);
}

float terrainHeight(float x, float z)
{
    glm::vec2 p(x, z);
    // Rolling meadow.
    float h = 0.35f * (fbm(p * 0.35f, 4, modelSeed) - 0.45f);
    // Hills rising towards -x: the backdrop of the views along -x.
    float west = smoothstep01(-3.0f, -10.0f, x);
    h += west * (1.2f + 2.6f * fbm(p * 0.18f + glm::vec2(5.0f, 0.0f), 4, modelSeed + 7u));
    // Knolls at both ends, framing the views along z.
    h += 1.6f * smoothstep01(9.0f, 14.0f, z) * smoothstep01(2.5f, -1.0f, x);
    h += 1.3f * smoothstep01(-12.0f, -17.0f, z) * smoothstep01(2.5f, -1.0f, x);
    // The path is a shallow trough; the plaza and pond floors are levelled.
    h -= 0.08f * pathMask(x, z);
    h = h + (plazaHeight - h) * plazaMask(x, z);
    float pond = pondMask(x, z);
    h = h + (pondLevel - pondDepth * pond - h) * smoothstep01(0.0f, 0.35f, pond);
    // Towards the rim the ground falls away to the edge.
    float rim = rimCloseness(x, z);
    return h + (islandRimHeight - h) * rim;
}
