// The sky: an inward-facing sphere around the origin, painted with a blue sky, drifting
// clouds, far mountain ranges on the horizon with small floating islands, and a sea of
// clouds below, which the camera sees when it dives under the island.
#include "background.h"

#include <algorithm>
#include <cmath>

#include <glm/gtc/constants.hpp>

#include "noise.h"
#include "stage_layout.h"

namespace {

// Coarse: the sky is lit evenly and seen from inside, so facets never show, and every one of
// its large triangles is clipped in each pass.
constexpr int segments = 36;
constexpr int rings = 22;
constexpr int textureWidth = 1024;
constexpr int textureHeight = 1024;  // square: elevation needs the rows near the horizon
constexpr uint32_t modelSeed = 404u;
constexpr int period = 16;  // noise lattice cells once around (tiles in u)
// The light stands at x = 6, y = 4 and sweeps along z, looking toward (0, 0, -1). A sky normal
// almost straight up meets it at a cosine between 0.39 and 0.51 wherever it is: always the
// middle toon band (so the sky never merges with lit slopes), and an even, unbanded sky under
// the textured styles.
const glm::vec3 skyLightNormal = glm::normalize(glm::vec3(-0.05f, 1.0f, 0.0f));
constexpr float skyGain = 1.3f;

// Height of a mountain range (radians of elevation) at u, tiling once around.
float ridge(float u, float scale, uint32_t seed)
{
    float n = fbm(glm::vec2(u * float(period) * scale, 0.5f), 5, seed, int(float(period) * scale));
    return n * n;
}

// A floating island seen from far away: a flat green top and a rocky cone below.
float islandShape(float du, float de, float width)
{
    float x = du / width;
    if (std::fabs(x) > 1.0f) {
        return 0.0f;
    }
    float top = 0.08f * width * (1.0f - x * x);
    float bottom = -0.6f * width * (1.0f - std::fabs(x)) * (1.0f - std::fabs(x));
    if (de > top || de < bottom) {
        return 0.0f;
    }
    return de > 0.0f ? 2.0f : 1.0f;  // 2: grassy top, 1: rock
}

Texel paintSky(glm::vec2 p)
{
    const float u = p.x;
    const float e = (p.y - 0.5f) * glm::pi<float>();  // elevation in radians
    glm::vec3 zenith(0.20f, 0.42f, 0.82f), horizon(0.80f, 0.89f, 0.96f);
    glm::vec3 color = mixColor(horizon, zenith, std::pow(std::max(e, 0.0f) / 1.2f, 0.6f));

    // Clouds above, on a plane overhead seen in perspective: fine and flat near the horizon.
    const float angle = u * glm::two_pi<float>();
    if (e > 0.0f) {
        float reach = std::min(1.0f / std::tan(std::max(e, 0.02f)), 30.0f);
        glm::vec2 q(std::cos(angle) * reach, std::sin(angle) * reach);
        float c = fbm(q * 0.9f, 5, modelSeed);
        float cover = smoothstep01(0.5f, 0.68f, c) * smoothstep01(0.02f, 0.12f, e);
        float shade = fbm(q * 1.8f + glm::vec2(3.0f, 1.0f), 3, modelSeed + 5u);
        glm::vec3 cloud = mixColor(glm::vec3(0.76f, 0.80f, 0.90f), glm::vec3(1.0f, 0.99f, 0.96f), shade + 0.25f);
        color = mixColor(color, cloud, cover * 0.95f);
    }

    // Far ranges: a hazy blue one behind a nearer blue-green one, rising from the cloud sea.
    float far = 0.02f + 0.14f * ridge(u, 1.0f, modelSeed + 30u);
    float nearRange = -0.01f + 0.10f * ridge(u + 0.37f, 1.5f, modelSeed + 40u);
    if (e < far && e > -0.05f) {
        float t = (far - e) / 0.2f;
        color = mixColor(glm::vec3(0.56f, 0.66f, 0.80f), glm::vec3(0.48f, 0.58f, 0.74f), t);
        float snow = e > 0.085f && e > far - 0.03f ? 1.0f : 0.0f;
        color = mixColor(color, glm::vec3(0.92f, 0.94f, 0.98f), snow * 0.8f);
    }
    if (e < nearRange && e > -0.05f) {
        float rock = fbm(glm::vec2(u * 200.0f, e * 60.0f), 3, modelSeed + 50u, 200);
        color = mixColor(glm::vec3(0.36f, 0.52f, 0.50f), glm::vec3(0.30f, 0.44f, 0.46f), rock);
        color = mixColor(color, glm::vec3(0.45f, 0.56f, 0.62f), 0.3f);  // aerial haze
    }

    // A few small floating islands drifting in the distance.
    const float islands[][3] = {{0.08f, 0.16f, 0.040f},
                                {0.31f, 0.24f, 0.025f},
                                {0.55f, 0.12f, 0.050f},
                                {0.71f, 0.28f, 0.022f},
                                {0.90f, 0.19f, 0.035f}};
    for (const auto& isl : islands) {
        float du = u - isl[0];
        du -= std::round(du);
        float s = islandShape(du * glm::two_pi<float>(), e - isl[1], isl[2] * glm::two_pi<float>());
        if (s > 1.5f) {
            color = glm::vec3(0.42f, 0.62f, 0.38f);
        } else if (s > 0.5f) {
            color = mixColor(glm::vec3(0.55f, 0.50f, 0.52f), glm::vec3(0.66f, 0.72f, 0.82f), 0.4f);
        }
    }

    // The cloud sea below the horizon, on a plane seen in perspective: billows close below,
    // a smooth haze towards the horizon.
    if (e < -0.03f) {
        float reach = std::min(1.0f / std::tan(-e), 30.0f);
        glm::vec2 q(std::cos(angle) * reach, std::sin(angle) * reach);
        float billow = fbm(q * 3.0f, 5, modelSeed + 60u);
        float cells = cellDistance(q * 2.2f, modelSeed + 61u);
        float puff = smoothstep01(0.25f, 0.8f, billow * 0.8f + (1.0f - cells) * 0.45f);
        // Blue gaps between white billows, their undersides shaded towards the gaps.
        glm::vec3 sea = mixColor(glm::vec3(0.36f, 0.52f, 0.82f), glm::vec3(0.74f, 0.80f, 0.92f), puff * 1.6f);
        sea = mixColor(sea, glm::vec3(1.0f, 0.99f, 0.97f), smoothstep01(0.65f, 0.95f, puff));
        glm::vec3 haze(0.80f, 0.86f, 0.95f);
        sea = mixColor(haze, sea, smoothstep01(0.04f, 0.35f, -e));
        color = mixColor(color, sea, smoothstep01(0.03f, 0.06f, -e));
    }
    // Painted brighter than it should look: the shaded styles light the sky at about 0.7.
    return {glm::min(color * skyGain, glm::vec3(1.0f)), 0.0f};
}

}  // namespace

Model makeBackground()
{
    Model model;
    addEllipsoid(model.mesh, glm::vec3(0.0f), glm::vec3(skyRadius), segments, rings, UvRect{});
    // Seen from inside: turn every face inwards.
    for (glm::uvec3& t : model.mesh.triangles) {
        std::swap(t.y, t.z);
    }
    // The sky is lit evenly: every normal faces the side the light sweeps along, so the
    // directional light shades the whole dome alike instead of splitting it into a lit and a
    // dark half with a hard edge across the picture.
    for (glm::vec3& n : model.mesh.normals) {
        n = skyLightNormal;
    }
    model.texture = makeTextureImage(textureWidth, textureHeight);
    paintRect(model.texture, UvRect{}, [](glm::vec2 p, glm::vec2) { return paintSky(p); });
    return model;
}
