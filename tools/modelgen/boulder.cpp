// Weathered boulders and their granite texture.
#include "boulder.h"

#include <algorithm>
#include <cmath>

#include <glm/geometric.hpp>
#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include "noise.h"

namespace {

constexpr uint32_t paintSeed = 909u;
constexpr int jointPlanes = 4;

// Smooth minimum: the smaller of a and b, rounded over a blend of width k.
float softMin(float a, float b, float k)
{
    float h = std::clamp(0.5f + 0.5f * (b - a) / k, 0.0f, 1.0f);
    return b + (a - b) * h - k * h * (1.0f - h);
}

// Thin meandering lines where the noise crosses its middle: 1 on a crack, 0 away from it.
float crackLines(glm::vec3 d, float scale, float width, uint32_t seed)
{
    float c = std::fabs(fbm3(d * scale, 3, seed) - 0.5f);
    return smoothstep01(width, width * 0.25f, c);
}

}  // namespace

void addBoulder(Mesh& mesh, const BoulderShape& shape, int segments, int rings, const UvRect& uv)
{
    Rng rng = makeRng(shape.seed);
    // Joint planes worn flat: one across the top, where moss settles, and a few round the sides.
    glm::vec3 planeNormal[jointPlanes];
    float planeDistance[jointPlanes];
    planeNormal[0] = glm::vec3(0.0f, 1.0f, 0.0f);
    planeDistance[0] = nextRange(rng, 0.72f, 0.85f);
    for (int k = 1; k < jointPlanes; ++k) {
        float angle = nextRange(rng, 0.0f, glm::two_pi<float>());
        float tilt = nextRange(rng, -0.5f, 0.5f);
        planeNormal[k] = glm::normalize(glm::vec3(std::cos(angle), tilt, std::sin(angle)));
        planeDistance[k] = nextRange(rng, 0.78f, 0.95f);
    }
    const glm::vec3 offset(nextRange(rng, 0.0f, 40.0f), nextRange(rng, 0.0f, 40.0f), nextRange(rng, 0.0f, 40.0f));

    const size_t first = mesh.positions.size();
    addEllipsoid(mesh, glm::vec3(0.0f), glm::vec3(1.0f), segments, rings, uv);
    for (size_t i = first; i < mesh.positions.size(); ++i) {
        const glm::vec3 d = glm::normalize(mesh.positions[i]);
        float r = 1.0f + 0.34f * (fbm3(d * 1.3f + offset, 3, shape.seed) - 0.5f);
        for (int k = 0; k < jointPlanes; ++k) {
            float c = glm::dot(d, planeNormal[k]);
            if (c > 0.05f) {
                r = softMin(r, planeDistance[k] / c, 0.14f);
            }
        }
        r -= 0.07f * crackLines(d + offset * 0.1f, 1.4f, 0.035f, shape.seed + 9u);  // creases along cracks
        glm::vec3 p = d * r;
        if (shape.floating) {
            // Torn from the island: the lower half narrows and hangs down to a blunt keel.
            if (p.y < 0.0f) {
                float k = -p.y;
                p.y -= 0.6f * k * k;
                p.x *= 1.0f - 0.3f * k;
                p.z *= 1.0f - 0.3f * k;
            }
        } else {
            p.y = std::max(p.y, -0.5f);  // flat-bottomed, set into the ground
        }
        mesh.positions[i] = p;
    }
    const glm::vec3 lift = shape.floating ? glm::vec3(0.0f) : glm::vec3(0.0f, shape.size.y * 0.3f, 0.0f);
    glm::mat4 m = glm::translate(glm::mat4(1.0f), shape.centre + lift);
    m = glm::rotate(m, shape.turn, glm::vec3(0, 1, 0));
    m = glm::scale(m, shape.size);
    transformVertices(mesh, first, m);
    smoothNormals(mesh, first);
}

Texel paintBoulder(glm::vec2 p)
{
    // The texel's direction on the unit sphere the boulder was shaped from: 3D noise over it has
    // no seam where u wraps and no streaks at the poles.
    const float around = p.x * glm::two_pi<float>(), down = p.y * glm::pi<float>();
    const glm::vec3 d(std::sin(down) * std::sin(around), -std::cos(down), std::sin(down) * std::cos(around));

    // Granite, mottled at two scales, with dark and pale grains.
    float mottle = fbm3(d * 2.2f, 4, paintSeed);
    float grain = fbm3(d * 11.0f, 3, paintSeed + 1u);
    glm::vec3 color =
        mixColor(glm::vec3(0.40f, 0.38f, 0.36f), glm::vec3(0.66f, 0.63f, 0.58f), mottle * 1.4f - 0.2f);
    color *= 0.86f + 0.28f * grain;
    float speck = valueNoise3(d * 28.0f, paintSeed + 2u);
    if (speck > 0.78f) {
        color *= 0.72f;
    } else if (speck < 0.1f) {
        color = mixColor(color, glm::vec3(0.82f, 0.80f, 0.76f), 0.5f);
    }
    // Rain streaks run down from the top; earth darkens the underside.
    float streak = fbm3(glm::vec3(d.x * 9.0f, d.y * 1.2f, d.z * 9.0f), 3, paintSeed + 3u);
    color *= 0.82f + 0.3f * streak;
    color *= 0.7f + 0.3f * smoothstep01(0.0f, 0.4f, p.y);
    // Pale crusts of lichen.
    float lichen = smoothstep01(0.62f, 0.68f, fbm3(d * 3.5f + glm::vec3(7.0f), 4, paintSeed + 4u));
    color = mixColor(color, glm::vec3(0.66f, 0.68f, 0.50f), lichen * 0.75f);
    // Two networks of cracks, a coarse and a fine one.
    float crack =
        std::max(crackLines(d, 1.7f, 0.016f, paintSeed + 5u), 0.6f * crackLines(d, 4.0f, 0.012f, paintSeed + 6u));
    color = mixColor(color, glm::vec3(0.12f, 0.11f, 0.10f), crack * 0.85f);
    float relief = 2.5f * mottle + 1.2f * grain - 3.5f * crack;

    // Moss on the top, ragged at its edge, in clumps of two greens.
    float edge = 0.12f * (fbm3(d * 4.0f, 3, paintSeed + 7u) - 0.5f);
    float patches = fbm3(d * 5.0f, 3, paintSeed + 9u);
    float moss = smoothstep01(0.7f, 0.8f, p.y + edge) * smoothstep01(0.3f, 0.45f, patches);
    if (moss > 0.0f) {
        float clumps = fbm3(d * 16.0f, 3, paintSeed + 8u);
        glm::vec3 green =
            mixColor(glm::vec3(0.16f, 0.26f, 0.09f), glm::vec3(0.42f, 0.52f, 0.20f), clumps * 1.5f - 0.2f);
        color = mixColor(color, green, moss);
        relief = relief + (1.5f + 3.0f * clumps - relief) * moss;
    }
    return {color, relief};
}
