// The sky: a sea of clouds far below, small floating islands in the distance, and an
// inward-facing dome around them all, painted with a blue sky, drifting clouds and far
// mountain ranges rising from the haze on the horizon.
#include "background.h"

#include <algorithm>
#include <cmath>

#include <glm/gtc/constants.hpp>

#include "background_atlas.h"
#include "cloud_sea.h"
#include "noise.h"
#include "sky_islands.h"
#include "stage_layout.h"

namespace {

// Coarse: the dome is lit evenly and seen from inside, so facets never show, and every one of
// its large triangles is clipped in each pass.
constexpr int segments = 36;
constexpr int rings = 22;
constexpr uint32_t modelSeed = 404u;
constexpr int period = 16;  // noise lattice cells once around (tiles in u)

// Below the cloud sea's rim the dome is never seen: the dome's rows are spent above the ring
// at this elevation (the ninth of its rings), all but a few on the sky down to there.
constexpr int hiddenRing = 9;
const float hiddenBelow = -glm::half_pi<float>() + glm::pi<float>() * float(hiddenRing) / float(rings);
constexpr float hiddenRows = 48.0f / 768.0f;

// The dome's texture v for an elevation, and back: linear on each side of the hidden ring, so
// that interpolating between ring vertices lands on the texel painted for each elevation.
float domeV(float elevation)
{
    if (elevation < hiddenBelow) {
        return hiddenRows * (elevation + glm::half_pi<float>()) / (hiddenBelow + glm::half_pi<float>());
    }
    return hiddenRows + (1.0f - hiddenRows) * (elevation - hiddenBelow) / (glm::half_pi<float>() - hiddenBelow);
}

float domeElevation(float v)
{
    if (v < hiddenRows) {
        return -glm::half_pi<float>() + (hiddenBelow + glm::half_pi<float>()) * v / hiddenRows;
    }
    return hiddenBelow + (glm::half_pi<float>() - hiddenBelow) * (v - hiddenRows) / (1.0f - hiddenRows);
}

// Height of a mountain range (radians of elevation) at u, tiling once around.
float ridge(float u, float scale, uint32_t seed)
{
    float n = fbm(glm::vec2(u * float(period) * scale, 0.5f), 5, seed, int(float(period) * scale));
    return n * n;
}

// How much of a texel at elevation e lies below an edge at `edge`: antialiased silhouettes.
float below(float e, float edge, float texel)
{
    return std::clamp((edge - e) / texel + 0.5f, 0.0f, 1.0f);
}

Texel paintSky(glm::vec2 p, glm::vec2 texelSize)
{
    const float u = p.x;
    const float e = domeElevation(p.y);
    const float texel = (domeElevation(std::min(p.y + texelSize.y, 1.0f)) - e) * 1.5f;
    glm::vec3 zenith(0.26f, 0.52f, 1.0f);
    glm::vec3 color = mixColor(horizonHaze, zenith, std::pow(std::max(e, 0.0f) / 1.2f, 0.6f));

    // Clouds above, on a plane overhead seen in perspective: fine and flat near the horizon.
    const float angle = u * glm::two_pi<float>();
    if (e > 0.0f) {
        float reach = std::min(1.0f / std::tan(std::max(e, 0.02f)), 30.0f);
        glm::vec2 q(std::cos(angle) * reach, std::sin(angle) * reach);
        float c = fbm(q * 0.9f, 5, modelSeed);
        float cover = smoothstep01(0.5f, 0.68f, c) * smoothstep01(0.02f, 0.12f, e);
        float shade = fbm(q * 1.8f + glm::vec2(3.0f, 1.0f), 3, modelSeed + 5u);
        glm::vec3 cloud = mixColor(glm::vec3(0.86f, 0.90f, 1.0f), glm::vec3(1.0f, 1.0f, 1.0f), shade + 0.25f);
        color = mixColor(color, cloud, cover * 0.95f);
    }

    // Below the horizon: the far edge of the cloud sea, fading into the haze that the sea's own
    // rim takes further down, with a few long streaks of distant billows.
    if (e < 0.0f) {
        float streaks = fbm(glm::vec2(u * 256.0f, e * 300.0f), 3, modelSeed + 60u, 256);
        float near = smoothstep01(0.0f, -0.08f, e);
        color = horizonHaze * (0.96f + 0.08f * streaks * (1.0f - near));
    }

    // Far ranges: a hazy blue one behind a nearer blue-green one, rising from the cloud sea.
    float far = 0.02f + 0.14f * ridge(u, 1.0f, modelSeed + 30u);
    float nearRange = -0.01f + 0.10f * ridge(u + 0.37f, 1.5f, modelSeed + 40u);
    float feet = smoothstep01(-0.05f, -0.01f, e);  // the ranges stand in the haze
    float t = (far - e) / 0.2f;
    glm::vec3 farColor = mixColor(glm::vec3(0.56f, 0.68f, 0.92f), glm::vec3(0.46f, 0.58f, 0.84f), t);
    float snow = smoothstep01(0.08f, 0.095f, e) * smoothstep01(far - 0.035f, far - 0.02f, e);
    farColor = mixColor(farColor, glm::vec3(0.92f, 0.94f, 0.98f), snow * 0.8f);
    color = mixColor(color, mixColor(horizonHaze, farColor, feet), below(e, far, texel));
    float rock = fbm(glm::vec2(u * 200.0f, e * 60.0f), 3, modelSeed + 50u, 200);
    glm::vec3 nearColor = mixColor(glm::vec3(0.46f, 0.66f, 0.64f), glm::vec3(0.38f, 0.56f, 0.58f), rock);
    nearColor = mixColor(nearColor, glm::vec3(0.58f, 0.72f, 0.80f), 0.3f);  // aerial haze
    color = mixColor(color, mixColor(horizonHaze, nearColor, feet), below(e, nearRange, texel));

    return {color, 0.0f};
}

void addDome(Mesh& mesh)
{
    const size_t first = mesh.positions.size();
    const size_t firstTriangle = mesh.triangles.size();
    addEllipsoid(mesh, glm::vec3(0.0f), glm::vec3(skyRadius), segments, rings, domeUv);
    // Seen from inside: turn every face inwards.
    for (size_t t = firstTriangle; t < mesh.triangles.size(); ++t) {
        std::swap(mesh.triangles[t].y, mesh.triangles[t].z);
    }
    for (size_t i = first; i < mesh.positions.size(); ++i) {
        // The sky is lit evenly: every normal faces the side the light sweeps along, so the
        // directional light shades the whole dome alike instead of splitting it into a lit and
        // a dark half with a hard edge across the picture.
        mesh.normals[i] = skyLightNormal;
        const glm::vec3 d = mesh.positions[i] / skyRadius;
        const float elevation = std::asin(std::clamp(d.y, -1.0f, 1.0f));
        const glm::vec2 local((mesh.uvs[i].x - domeUv.lo.x) / (domeUv.hi.x - domeUv.lo.x), domeV(elevation));
        mesh.uvs[i] = uvInRect(domeUv, local);
    }
}

}  // namespace

Model makeBackground()
{
    Model model;
    // Nearest first, so that the depth test spares the dome's pixels behind the clouds.
    addCloudSea(model.mesh);
    addSkyIslands(model.mesh);
    addDome(model.mesh);
    model.texture = makeTextureImage(backgroundTextureWidth, backgroundTextureHeight);
    paintRect(model.texture, domeUv, [](glm::vec2 p, glm::vec2 texel) { return paintSky(p, texel); });
    paintRect(model.texture, cloudPaletteUv, [](glm::vec2 p, glm::vec2) { return paintCloudPalette(p); });
    paintRect(model.texture, skyIslandRockUv, [](glm::vec2 p, glm::vec2) { return paintSkyIslandRock(p); });
    paintRect(model.texture, skyIslandGrassUv, [](glm::vec2 p, glm::vec2) { return paintSkyIslandGrass(p); });
    return model;
}
