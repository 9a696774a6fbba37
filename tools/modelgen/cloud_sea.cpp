// The cloud sea's height field, normals and palette.
#include "cloud_sea.h"

#include <algorithm>
#include <cmath>

#include <glm/geometric.hpp>
#include <glm/gtc/constants.hpp>

#include "background_atlas.h"
#include "noise.h"

namespace {

constexpr uint32_t modelSeed = 808u;
// Finest near the middle, under the dive, where the camera looks straight down. The billows are in
// the paint as much as in the mesh: a finer grid cost frame time on every textured frame.
constexpr int segments = 40;
constexpr int rings = 12;
constexpr float seaRadius = 50.0f;  // its rim, raised to meet the sky, stays inside the dome
constexpr float cloudBase = -25.0f;
constexpr float billowHeight = 6.0f;
constexpr float deepestFloor = 40.0f;  // below the stage, the gaps' hazy lower layer
// Cloud normals lean towards the light on the billows' tops and away from it in the valleys
// between them: the tops shine brighter than the sky behind them (and take the lit toon band),
// the valleys stay in shade (the middle one).
const glm::vec3 towardsLight = glm::normalize(glm::vec3(0.5f, 0.87f, 0.0f));

struct CloudPoint {
    float height = 0.0f;
    float gap = 0.0f;    // 1 on a gap's floor
    float far = 0.0f;    // 1 at the rim, in the haze
    float shade = 0.0f;  // 0 in the valleys between billows, 1 on their tops
};

// A round dome over each cell of cellular noise: billows with creases between them.
float puffs(glm::vec2 p, uint32_t seed)
{
    const float d = cellDistance(p, seed);
    return std::max(1.0f - d * d * 1.2f, 0.0f);
}

CloudPoint sample(glm::vec2 xz)
{
    const float r = glm::length(xz);
    CloudPoint c;
    c.far = smoothstep01(36.0f, seaRadius, r);
    const float rise = 15.0f * smoothstep01(20.0f, seaRadius, r);  // up to meet the sky near the horizon
    const float cover = fbm(xz * 0.035f + glm::vec2(3.7f, 1.3f), 4, modelSeed);
    const float billow = 0.6f * puffs(xz * 0.07f, modelSeed + 1u) + 0.3f * puffs(xz * 0.16f, modelSeed + 2u) +
                         0.1f * fbm(xz * 0.12f, 2, modelSeed + 4u);
    const float top = cloudBase + rise + billowHeight * billow * (1.0f - 0.6f * c.far);
    // Gaps open where the cover thins; none near the rim, where they would only show as slivers.
    c.gap = smoothstep01(0.42f, 0.3f, cover) * (1.0f - smoothstep01(26.0f, 36.0f, r));
    const float floorDepth = std::min(deepestFloor, std::sqrt(std::max(52.0f * 52.0f - r * r, 0.0f)));
    const float floor = -floorDepth + 4.0f * puffs(xz * 0.05f, modelSeed + 3u);
    c.height = top + (floor - top) * c.gap;
    c.shade = smoothstep01(0.15f, 0.75f, billow);
    return c;
}

glm::vec3 cloudNormal(glm::vec2 xz, const CloudPoint& c)
{
    // Differences over about a grid cell: no crinkles finer than the mesh can show.
    const float e = 1.0f;
    const float dx = sample(xz + glm::vec2(e, 0.0f)).height - sample(xz - glm::vec2(e, 0.0f)).height;
    const float dz = sample(xz + glm::vec2(0.0f, e)).height - sample(xz - glm::vec2(0.0f, e)).height;
    glm::vec3 n = glm::normalize(glm::vec3(-dx, 2.0f * e, -dz));
    n = glm::normalize(n + towardsLight * (1.4f * c.shade * c.shade - 0.35f));
    // At the rim the clouds take the sky's own normal, so they meet it without a seam.
    return glm::normalize(n + (skyLightNormal - n) * c.far);
}

}  // namespace

void addCloudSea(Mesh& mesh)
{
    const size_t first = mesh.positions.size();
    // Rings from the middle out (the near clouds first, for the depth test); the angle runs
    // clockwise seen from above so that the surface faces up.
    auto at = [](float u, float v) {
        const float angle = -u * glm::two_pi<float>(), r = seaRadius * std::pow(v, 1.5f);
        return glm::vec2(r * std::sin(angle), r * std::cos(angle));
    };
    addPatch(
        mesh, segments, rings,
        [&](float u, float v) {
            const glm::vec2 xz = at(u, v);
            return glm::vec3(xz.x, sample(xz).height, xz.y);
        },
        cloudPaletteUv);
    const float margin = 0.05f;  // keeps filtering inside the palette
    for (size_t i = first; i < mesh.positions.size(); ++i) {
        const glm::vec2 xz(mesh.positions[i].x, mesh.positions[i].z);
        const CloudPoint c = sample(xz);
        mesh.normals[i] = cloudNormal(xz, c);
        const float across = c.gap > c.far ? 0.5f - 0.5f * c.gap : 0.5f + 0.5f * c.far;
        const glm::vec2 local(margin + (1.0f - 2.0f * margin) * across, margin + (1.0f - 2.0f * margin) * c.shade);
        mesh.uvs[i] = uvInRect(cloudPaletteUv, local);
    }
}

Texel paintCloudPalette(glm::vec2 p)
{
    // Painted brighter than they look: the textured styles light the clouds by 0.6 to 1.
    const glm::vec3 valley(0.60f, 0.67f, 0.88f), sunlit(0.92f, 0.92f, 0.90f);
    const glm::vec3 lowerLayer(0.50f, 0.62f, 0.86f);
    const glm::vec3 cloud = mixColor(valley, sunlit, p.y);
    if (p.x < 0.5f) {
        // Down a gap: the walls darken into the haze of the lower layer far below.
        const float deep = smoothstep01(0.0f, 1.0f, (0.5f - p.x) * 2.0f);
        return {mixColor(cloud, lowerLayer * (0.9f + 0.2f * p.y), deep), 0.0f};
    }
    return {mixColor(cloud, horizonHaze, smoothstep01(0.0f, 1.0f, (p.x - 0.5f) * 2.0f)), 0.0f};
}
