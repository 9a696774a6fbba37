// The distant islands' meshes and textures.
#include "sky_islands.h"

#include <algorithm>
#include <cmath>

#include <glm/geometric.hpp>
#include <glm/gtc/constants.hpp>

#include "background_atlas.h"
#include "noise.h"

namespace {

constexpr uint32_t modelSeed = 1010u;
constexpr int segments = 12;
constexpr int undersideRings = 4;
constexpr int topRings = 2;
// How much of the horizon's haze lies over them at their distance.
constexpr float distanceHaze = 0.15f;

struct SkyIsland {
    float bearing;   // radians from +x towards +z
    float distance;  // from the stage's middle, horizontally
    float rimHeight;
    float radius;
    float depth;  // of the hanging point below the rim
};

// Spread round the compass, so that every view of the show has one or two; the ones towards -x
// rise above the island's western hills.
const SkyIsland islands[] = {
    {0.05f, 46.0f, 6.0f, 4.0f, 7.0f}, {0.62f, 43.0f, 1.5f, 2.6f, 4.5f}, {1.45f, 47.0f, 8.0f, 4.8f, 8.5f},
    {2.3f, 42.0f, 3.5f, 2.8f, 5.0f},  {3.1f, 46.0f, 12.0f, 3.8f, 6.5f}, {4.65f, 45.0f, 7.0f, 3.6f, 6.5f},
    {5.45f, 48.0f, 2.5f, 5.0f, 8.0f},
};
constexpr int islandCount = int(sizeof(islands) / sizeof(islands[0]));

const UvRect grassUv{skyIslandGrassUv.lo, uvInRect(skyIslandGrassUv, {0.8f, 1.0f})};
const UvRect treeUv{uvInRect(skyIslandGrassUv, {0.82f, 0.0f}), skyIslandGrassUv.hi};

// The rim's radius by angle, closing on itself.
float rimRadius(const SkyIsland& island, float u, uint32_t seed)
{
    return island.radius * (0.85f + 0.3f * fbm(glm::vec2(u * 6.0f, 0.5f), 3, seed, 6));
}

void addIsland(Mesh& mesh, const SkyIsland& island, uint32_t seed)
{
    const glm::vec3 centre(island.distance * std::cos(island.bearing), island.rimHeight,
                           island.distance * std::sin(island.bearing));
    const float dome = 0.12f * island.radius;
    auto around = [](float u) {
        const float a = u * glm::two_pi<float>();
        return glm::vec3(std::sin(a), 0.0f, std::cos(a));
    };
    // Underside: from the hanging point up to the rim, in ragged steps.
    addPatch(
        mesh, segments, undersideRings,
        [&](float u, float v) {
            const float rim = rimRadius(island, u, seed);
            const float step =
                0.2f * std::sin(v * 14.0f + 4.0f * fbm(glm::vec2(u * 5.0f, v * 2.0f), 2, seed + 1u, 5));
            const float ragged = 0.5f * (fbm(glm::vec2(u * 9.0f, v * 3.0f), 2, seed + 2u, 9) - 0.5f);
            // A lobe or two hanging lower than the rest, and the point off to one side.
            const float lobes = fbm(glm::vec2(u * 3.0f, 0.5f), 2, seed + 3u, 3);
            const float radius = rim * std::pow(v, 0.55f) * (1.0f + (step + ragged) * (1.0f - v) * 1.5f);
            const glm::vec3 drift = glm::vec3(0.3f, 0.0f, 0.2f) * island.radius * (1.0f - v) * (1.0f - v);
            const float hang = island.depth * (1.0f - v) * (0.75f + 0.5f * lobes);
            return centre + drift + around(u) * radius - glm::vec3(0.0f, hang, 0.0f);
        },
        skyIslandRockUv);
    // Top: from the rim in to a gentle rise in the middle.
    addPatch(
        mesh, segments, topRings,
        [&](float u, float v) {
            const float radius = rimRadius(island, u, seed) * (1.0f - v);
            return centre + around(u) * radius + glm::vec3(0.0f, dome * (1.0f - (1.0f - v) * (1.0f - v)), 0.0f);
        },
        grassUv);
    // The top is mapped as a disc.
    const size_t topFirst = mesh.positions.size() - size_t((segments + 1) * (topRings + 1));
    for (size_t i = topFirst; i < mesh.positions.size(); ++i) {
        const glm::vec3 d = (mesh.positions[i] - centre) / (island.radius * 1.2f);
        mesh.uvs[i] = uvInRect(grassUv, {0.5f + 0.5f * d.x, 0.5f + 0.5f * d.z});
    }
    // A few trees.
    Rng rng = makeRng(seed);
    const int trees = 2 + int(island.radius * 0.6f);
    for (int t = 0; t < trees; ++t) {
        const float u = nextFloat(rng), reach = nextRange(rng, 0.1f, 0.7f);
        const float height = nextRange(rng, 1.2f, 2.2f);
        const glm::vec3 base = centre + around(u) * (rimRadius(island, u, seed) * reach) +
                               glm::vec3(0.0f, dome * (1.0f - reach * reach) - 0.2f, 0.0f);
        const size_t treeFirst = mesh.positions.size();
        addLathe(
            mesh, 6, 1, [&](float v) { return glm::vec2(0.4f * height * (1.0f - v), height * v); }, treeUv);
        for (size_t i = treeFirst; i < mesh.positions.size(); ++i) {
            mesh.positions[i] += base;
        }
    }
}

}  // namespace

void addSkyIslands(Mesh& mesh)
{
    for (int i = 0; i < islandCount; ++i) {
        addIsland(mesh, islands[i], modelSeed + uint32_t(i) * 17u);
    }
}

Texel paintSkyIslandRock(glm::vec2 p)
{
    // Bold strata, light and dark, that still read at their distance; streaks down them.
    const float strata = fbm(glm::vec2(p.x * 16.0f, p.y * 18.0f), 3, modelSeed + 1u, 16);
    const float layers = 0.5f + 0.5f * std::sin(p.y * 34.0f + 3.0f * strata);
    const float streaks = fbm(glm::vec2(p.x * 64.0f, p.y * 2.0f), 2, modelSeed + 2u, 64);
    glm::vec3 color = mixColor(glm::vec3(0.18f, 0.14f, 0.11f), glm::vec3(0.44f, 0.36f, 0.27f),
                               layers * 0.7f + strata * 0.5f - 0.1f);
    color *= 0.6f + 0.6f * streaks;
    // Earth under the turf, grass hanging over the rim; darker down towards the point.
    color = mixColor(color, glm::vec3(0.30f, 0.22f, 0.15f), smoothstep01(0.8f, 0.88f, p.y));
    const float fringe = 0.9f + 0.06f * std::sin(p.x * 180.0f) * streaks;
    color = mixColor(color, glm::vec3(0.26f, 0.42f, 0.16f), smoothstep01(fringe, fringe + 0.02f, p.y));
    color *= 0.6f + 0.4f * smoothstep01(0.0f, 0.6f, p.y);
    return {mixColor(color, horizonHaze, distanceHaze), 0.0f};
}

Texel paintSkyIslandGrass(glm::vec2 p)
{
    glm::vec3 color;
    if (p.x < 0.8f) {
        const glm::vec2 q(p.x / 0.8f, p.y);
        const float patches = fbm(q * 6.0f, 4, modelSeed + 3u);
        color = mixColor(glm::vec3(0.26f, 0.46f, 0.16f), glm::vec3(0.50f, 0.66f, 0.26f), patches * 1.4f - 0.2f);
        // A bare, earthy edge round the rim.
        const float rim = glm::length(q * 2.0f - 1.0f);
        color = mixColor(color, glm::vec3(0.42f, 0.36f, 0.24f), smoothstep01(0.78f, 0.86f, rim) * 0.6f);
    } else {
        color = mixColor(glm::vec3(0.10f, 0.24f, 0.12f), glm::vec3(0.20f, 0.38f, 0.18f), p.y);
    }
    return {mixColor(color, horizonHaze, distanceHaze), 0.0f};
}
