// The floating island: a terrain grid over its footprint, a rocky underside that steps down to a
// hanging point far below (the camera dives past it), trees and boulders on top and rocks
// floating beside and below it. One painted atlas holds the top (planar over the island), the
// underside and the props.
#include "ground.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <glm/geometric.hpp>
#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include "boulder.h"
#include "floating_rocks.h"
#include "ground_atlas.h"
#include "island_terrain.h"
#include "island_underside.h"
#include "noise.h"

namespace {

constexpr uint32_t modelSeed = 606u;
// Top grid: about 0.6 m per cell both ways. The texture and the smooth normals carry the
// terrain's detail; every vertex costs in three passes a frame on a software renderer.
constexpr int columnsX = 23;
constexpr int rowsZ = 56;

// The planar mapping of the top: u along z, v along x, over the footprint's bounding box.
constexpr float topMinX = islandCentreX - islandHalfX * 1.06f;
constexpr float topMaxX = islandCentreX + islandHalfX * 1.06f;
constexpr float topMinZ = islandCentreZ - islandHalfZ * 1.06f;
constexpr float topMaxZ = islandCentreZ + islandHalfZ * 1.06f;

glm::vec3 topPoint(glm::vec2 square)
{
    glm::vec2 xz = islandFootprint(square);
    return glm::vec3(xz.x, terrainHeight(xz.x, xz.y), xz.y);
}

glm::vec2 topUv(glm::vec3 p)
{
    return uvInRect(islandTopUv, {(p.z - topMinZ) / (topMaxZ - topMinZ), (p.x - topMinX) / (topMaxX - topMinX)});
}

void addTop(Mesh& mesh)
{
    const size_t first = mesh.positions.size();
    // u across x, v from +z to -z, so the surface faces up.
    addPatch(
        mesh, columnsX, rowsZ,
        [](float u, float v) {
            return topPoint({u * 2.0f - 1.0f, 1.0f - v * 2.0f});
        },
        islandTopUv);
    for (size_t i = first; i < mesh.positions.size(); ++i) {
        mesh.uvs[i] = topUv(mesh.positions[i]);
    }
}

// The rim as a closed loop of grid-border points, the same points the top's border has.
std::vector<glm::vec3> rimLoop()
{
    std::vector<glm::vec2> loop;
    auto square = [](int i, int j) {
        return glm::vec2(float(i) / columnsX * 2.0f - 1.0f, 1.0f - float(j) / rowsZ * 2.0f);
    };
    for (int i = 0; i < columnsX; ++i) {
        loop.push_back(square(i, 0));
    }
    for (int j = 0; j < rowsZ; ++j) {
        loop.push_back(square(columnsX, j));
    }
    for (int i = columnsX; i > 0; --i) {
        loop.push_back(square(i, rowsZ));
    }
    for (int j = rowsZ; j > 0; --j) {
        loop.push_back(square(0, j));
    }
    std::vector<glm::vec3> rim;
    for (glm::vec2 p : loop) {
        rim.push_back(topPoint(p));
    }
    return rim;
}

// A broad-leaved tree: trunk and three leafy clumps.
void addTree(Mesh& mesh, glm::vec3 base, float height, uint32_t seed)
{
    Rng rng = makeRng(seed);
    const float trunkTop = height * 0.55f, trunkRadius = height * 0.06f;
    const size_t first = mesh.positions.size();
    addLathe(
        mesh, 8, 3,
        [&](float v) { return glm::vec2(trunkRadius * (1.3f - 0.5f * v), -0.3f + (trunkTop + 0.3f) * v); },
        barkUv);
    transformVertices(mesh, first, glm::translate(glm::mat4(1.0f), base));
    const float crown = height * 0.3f;
    for (int k = 0; k < 3; ++k) {
        glm::vec3 offset(nextRange(rng, -0.5f, 0.5f) * crown, trunkTop + crown * (0.5f + 0.5f * float(k == 0)),
                         nextRange(rng, -0.5f, 0.5f) * crown);
        if (k == 0) {
            offset.x = offset.z = 0.0f;
        }
        float r = crown * (k == 0 ? 1.1f : 0.8f);
        addEllipsoid(mesh, base + offset, glm::vec3(r, r * 0.85f, r), 10, 6, leavesUv);
    }
}

// A pine: trunk and three stacked cones.
void addPine(Mesh& mesh, glm::vec3 base, float height)
{
    const size_t first = mesh.positions.size();
    const float trunkRadius = height * 0.05f;
    addLathe(
        mesh, 7, 1, [&](float v) { return glm::vec2(trunkRadius, -0.3f + (height * 0.3f + 0.3f) * v); }, barkUv);
    for (int k = 0; k < 3; ++k) {
        float bottom = height * (0.22f + 0.24f * float(k)), top = bottom + height * (0.46f - 0.06f * float(k));
        float radius = height * (0.30f - 0.07f * float(k));
        addLathe(
            mesh, 10, 2,
            [&](float v) {
                // Underside disc (v < 0.5) then the cone up to the point.
                if (v < 0.5f) {
                    return glm::vec2(radius * v * 2.0f, bottom);
                }
                float t = (v - 0.5f) * 2.0f;
                return glm::vec2(radius * (1.0f - t), bottom + (top - bottom) * t);
            },
            needlesUv);
    }
    transformVertices(mesh, first, glm::translate(glm::mat4(1.0f), base));
}

glm::vec3 onGround(float x, float z)
{
    return glm::vec3(x, terrainHeight(x, z), z);
}

void addProps(Mesh& mesh)
{
    // Broad-leaved trees around the meadow, clear of the camera's lines at x = 0.5 to 4.5.
    const float trees[][3] = {{-2.6f, 4.2f, 2.2f},  {-1.6f, 7.4f, 2.0f},   {2.0f, 7.6f, 1.8f},
                              {-3.2f, -5.4f, 2.4f}, {-2.4f, -9.6f, 2.1f},  {-1.3f, 11.4f, 2.0f},
                              {-4.2f, 1.0f, 2.6f},  {-3.6f, -13.5f, 2.3f}, {-0.9f, -12.2f, 1.9f},
                              {-5.5f, 7.0f, 2.5f}};
    uint32_t seed = modelSeed + 100u;
    for (const auto& t : trees) {
        addTree(mesh, onGround(t[0], t[1]), t[2], seed++);
    }
    // Pines on the western hills.
    const float pines[][3] = {{-6.0f, -2.0f, 2.6f},  {-7.2f, 2.6f, 3.0f},  {-6.6f, -7.5f, 2.8f},
                              {-8.3f, -3.8f, 3.2f},  {-5.3f, 4.4f, 2.4f},  {-8.0f, 8.8f, 2.9f},
                              {-7.6f, -11.5f, 2.7f}, {-9.0f, 0.4f, 3.1f},  {-4.9f, -9.9f, 2.5f},
                              {-6.8f, 12.0f, 2.6f},  {-9.5f, -8.0f, 2.8f}, {-4.6f, 10.2f, 2.2f}};
    for (const auto& p : pines) {
        addPine(mesh, onGround(p[0], p[1]), p[2]);
    }
    // Boulders along the path and at the plaza's edge.
    const float rocks[][4] = {{1.9f, -5.2f, 0.35f, 0.3f}, {-1.6f, -3.6f, 0.45f, 1.1f}, {2.0f, 3.9f, 0.3f, 2.0f},
                              {-1.2f, 5.6f, 0.4f, 0.6f},  {1.5f, 5.9f, 0.28f, 2.7f},   {-2.9f, -1.2f, 0.6f, 1.7f},
                              {-0.6f, -8.4f, 0.5f, 0.2f}, {1.7f, -11.6f, 0.4f, 1.3f},  {-2.0f, 9.4f, 0.55f, 2.2f},
                              {-4.8f, -4.4f, 0.8f, 0.9f}, {-0.8f, 13.6f, 0.5f, 0.4f},  {0.4f, -15.5f, 0.6f, 1.0f},
                              {2.1f, 10.6f, 0.3f, 2.5f},  {-0.2f, 3.6f, 0.22f, 0.8f}};
    uint32_t rockSeed = modelSeed + 200u;
    for (const auto& r : rocks) {
        BoulderShape shape{onGround(r[0], r[1]), glm::vec3(r[2] * 1.3f, r[2], r[2] * 1.1f), r[3], rockSeed++,
                           false};
        addBoulder(mesh, shape, 10, 7, rockUv);
    }
}

// Rocks floating beside and below the island: a few big ones and smaller ones around them.
void addFloatingRocks(Mesh& mesh)
{
    for (const FloatingRock& rock : floatingRocks) {
        BoulderShape shape{rock.centre, rock.size, rock.turn, modelSeed + 300u + uint32_t(&rock - floatingRocks),
                           true};
        addBoulder(mesh, shape, rock.size.x > 0.6f ? 12 : 10, rock.size.x > 0.6f ? 8 : 6, rockUv);
    }
}

Texel paintTop(glm::vec2 p)
{
    const float z = topMinZ + p.x * (topMaxZ - topMinZ);
    const float x = topMinX + p.y * (topMaxX - topMinX);
    glm::vec2 w(x, z);
    float h = terrainHeight(x, z);
    float slope = glm::length(glm::vec2(terrainHeight(x + 0.1f, z) - h, terrainHeight(x, z + 0.1f) - h)) / 0.1f;
    // Meadow: patchy greens, blade strokes and a scatter of flowers.
    float patch = fbm(w * 0.6f, 4, modelSeed + 10u);
    float blades = fbm(glm::vec2(x * 40.0f, z * 14.0f), 2, modelSeed + 11u);
    glm::vec3 color =
        mixColor(glm::vec3(0.30f, 0.52f, 0.18f), glm::vec3(0.52f, 0.70f, 0.26f), patch * 1.4f - 0.2f);
    color *= 0.82f + 0.36f * blades;
    float relief = 1.6f * blades + 0.8f * patch;
    float flower = hash2(int(std::floor(x * 30.0f)), int(std::floor(z * 30.0f)), modelSeed + 12u);
    if (flower > 0.985f) {
        int kind = int(flower * 1000.0f) % 3;
        color = kind == 0   ? glm::vec3(0.95f, 0.92f, 0.55f)
                : kind == 1 ? glm::vec3(0.95f, 0.55f, 0.65f)
                            : glm::vec3(0.95f, 0.95f, 0.95f);
        relief += 1.0f;
    }
    // Bare rock on steep hillsides.
    float rocky = smoothstep01(0.8f, 1.3f, slope + 0.4f * fbm(w * 1.2f, 3, modelSeed + 13u));
    color = mixColor(color, glm::vec3(0.52f, 0.48f, 0.43f) * (0.8f + 0.4f * blades), rocky);
    // Earth at the crumbling rim.
    color = mixColor(color, glm::vec3(0.45f, 0.33f, 0.22f), rimCloseness(x, z) * 0.9f);
    // Dirt path with pebbles.
    float path = pathMask(x, z);
    if (path > 0.0f) {
        float pebble = cellDistance(w * 7.0f, modelSeed + 14u);
        glm::vec3 dirt = mixColor(glm::vec3(0.62f, 0.50f, 0.34f), glm::vec3(0.74f, 0.63f, 0.45f),
                                  fbm(w * 3.0f, 3, modelSeed + 15u));
        if (pebble < 0.22f) {
            dirt = glm::vec3(0.66f, 0.64f, 0.60f);
        }
        color = mixColor(color, dirt, path);
        relief = relief + (smoothstep01(0.25f, 0.0f, pebble) * 2.0f - relief) * path;
    }
    // Paving on the plaza: irregular flagstones, whole stones only, so that the paving ends in
    // their edges rather than fading into the grass: a stone is laid where its cell's middle lies
    // on the plaza.
    const float stonesPerMetre = 2.2f;
    const CellSample stone = cellSample(w * stonesPerMetre, modelSeed + 16u);
    if (plazaMask(stone.point.x / stonesPerMetre, stone.point.y / stonesPerMetre) > 0.5f) {
        float tint =
            hash2(int(std::floor(stone.point.x * 7.0f)), int(std::floor(stone.point.y * 7.0f)), modelSeed + 17u);
        float grain = fbm(w * 9.0f, 3, modelSeed + 19u);
        glm::vec3 paving = mixColor(glm::vec3(0.58f, 0.56f, 0.52f), glm::vec3(0.76f, 0.72f, 0.64f), tint);
        paving *= 0.85f + 0.3f * grain;
        float joint = smoothstep01(0.06f, 0.02f, stone.border);
        glm::vec3 filling = mixColor(glm::vec3(0.26f, 0.36f, 0.15f), glm::vec3(0.30f, 0.28f, 0.24f), tint);
        color = mixColor(paving, filling, joint);
        relief = 2.5f * smoothstep01(0.02f, 0.1f, stone.border) + grain;
    }
    // Pond: deep blue in the middle, reeds of lighter green at its bank.
    float pond = pondMask(x, z);
    if (pond > 0.0f) {
        float ripple = 0.5f + 0.5f * std::sin(std::hypot(x - 0.2f, z - 5.2f) * 22.0f +
                                              fbm(w * 3.0f, 2, modelSeed + 18u) * 4.0f);
        glm::vec3 water = mixColor(glm::vec3(0.20f, 0.42f, 0.62f), glm::vec3(0.36f, 0.62f, 0.80f),
                                   ripple * 0.5f + 0.2f * (1.0f - pond));
        color = mixColor(color, water, smoothstep01(0.2f, 0.5f, pond));
        relief = relief + (ripple * 0.3f - relief) * smoothstep01(0.2f, 0.5f, pond);
    }
    return {color, relief};
}

Texel paintBark(glm::vec2 p)
{
    float n = fbm(glm::vec2(p.x * 16.0f, p.y * 3.0f), 4, modelSeed + 40u, 16);
    float ridges = 0.5f + 0.5f * std::sin(p.x * 6.2831853f * 10.0f + n * 6.0f);
    glm::vec3 color =
        mixColor(glm::vec3(0.30f, 0.20f, 0.13f), glm::vec3(0.48f, 0.36f, 0.24f), ridges * 0.7f + n * 0.3f);
    return {color, 3.0f * ridges};
}

Texel paintLeaves(glm::vec2 p, glm::vec3 dark, glm::vec3 light, uint32_t seed)
{
    glm::vec2 q(p.x * 20.0f, p.y * 8.0f);
    float clump = cellDistance(q, seed, 20);
    float n = fbm(q * 2.0f, 3, seed + 1u, 40);
    // Lighter towards the top of each clump, like leaves catching the sky.
    glm::vec3 color = mixColor(dark, light, (1.0f - clump) * 0.6f + p.y * 0.4f);
    color *= 0.8f + 0.3f * n;
    return {color, 3.0f * (1.0f - clump) + n};
}

}  // namespace

Model makeGround()
{
    Model model;
    model.reliefStrength = 0.8f;
    addTop(model.mesh);
    addUnderside(model.mesh, rimLoop());
    addProps(model.mesh);
    addFloatingRocks(model.mesh);

    model.texture = makeTextureImage(groundTextureWidth, groundTextureHeight);
    TextureImage& tex = model.texture;
    paintRect(tex, islandTopUv, [](glm::vec2 p, glm::vec2) { return paintTop(p); });
    paintRect(tex, undersideEarthUv, [](glm::vec2 p, glm::vec2) { return paintUndersideEarth(p); });
    paintRect(tex, undersideRockUv, [](glm::vec2 p, glm::vec2) { return paintUndersideRock(p); });
    paintRect(tex, rockUv, [](glm::vec2 p, glm::vec2) { return paintBoulder(p); });
    paintRect(tex, barkUv, [](glm::vec2 p, glm::vec2) { return paintBark(p); });
    paintRect(tex, leavesUv, [](glm::vec2 p, glm::vec2) {
        return paintLeaves(p, glm::vec3(0.16f, 0.36f, 0.12f), glm::vec3(0.45f, 0.68f, 0.22f), modelSeed + 50u);
    });
    paintRect(tex, needlesUv, [](glm::vec2 p, glm::vec2) {
        return paintLeaves(p, glm::vec3(0.08f, 0.24f, 0.14f), glm::vec3(0.22f, 0.44f, 0.26f), modelSeed + 60u);
    });
    return model;
}
