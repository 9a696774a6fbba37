// The floating stone: a block with rounded edges, each face carved with a framed medallion
// and its own glyph; relief carries the carving into the normal map. It spins about its own
// z axis, so the faces seen close up from P8 to P10 are -z, -x, +y and +x.
#include "stone.h"

#include <algorithm>
#include <cmath>

#include <glm/geometric.hpp>
#include <glm/gtc/constants.hpp>

#include "noise.h"

namespace {

constexpr float halfSize = 0.62f;     // block half extent: about a character's height across
constexpr float bevelRadius = 0.11f;  // edge rounding radius
constexpr int faceCells = 12;         // grid cells per face side; the normals round the bevel
constexpr float flatShare = 0.6f;     // share of the face grid spent on the flat part
constexpr int textureSize = 1024;
constexpr uint32_t modelSeed = 303u;

// Maps a grid coordinate in [-1, 1] to a position on the outer cube face, spending the
// outer part of the grid on the bevel so the rounded edges get enough rows.
float faceCoordinate(float t)
{
    float a = std::fabs(t), inner = halfSize - bevelRadius;
    float x = a < flatShare ? inner * a / flatShare : inner + bevelRadius * (a - flatShare) / (1.0f - flatShare);
    return t < 0.0f ? -x : x;
}

glm::vec3 roundedBoxPoint(glm::vec3 onCube)
{
    glm::vec3 inner(halfSize - bevelRadius);
    glm::vec3 core = glm::clamp(onCube, -inner, inner);
    glm::vec3 d = onCube - core;
    float len = glm::length(d);
    return len > 0.0f ? core + d * (bevelRadius / len) : core;
}

// One carved face; `glyph` picks the pattern in the medallion.
Texel paintFace(glm::vec2 p, int glyph)
{
    glm::vec2 c = p * 2.0f - 1.0f;  // -1..1 across the face
    float grain = fbm(p * 24.0f + float(glyph) * 7.0f, 5, modelSeed);
    float speck = hash2(int(p.x * 700.0f), int(p.y * 700.0f), modelSeed + uint32_t(glyph));
    glm::vec3 base = mixColor(glm::vec3(0.46f, 0.48f, 0.52f), glm::vec3(0.62f, 0.62f, 0.63f), grain);
    if (speck > 0.93f) {
        base *= 0.75f;
    }
    float relief = 1.5f * grain;
    float box = std::max(std::fabs(c.x), std::fabs(c.y));
    // Raised frame with a groove inside it.
    float groove = 0.0f;
    if (box > 0.70f && box < 0.78f) {
        groove = 1.0f;
    }
    float r = std::hypot(c.x, c.y), angle = std::atan2(c.y, c.x);
    if (std::fabs(r - 0.55f) < 0.035f) {
        groove = 1.0f;  // medallion ring
    }
    if (r < 0.45f) {
        float arms = float(3 + glyph % 4);
        switch (glyph % 3) {
        case 0:  // spiral
            if (std::fabs(std::fmod(r * 9.0f - angle / glm::pi<float>() * 1.5f + 20.0f, 1.5f) - 0.75f) < 0.2f &&
                r > 0.06f) {
                groove = 1.0f;
            }
            break;
        case 1:  // rays
            if (std::fabs(std::sin(angle * arms)) < 0.22f && r > 0.12f) {
                groove = 1.0f;
            }
            if (r < 0.08f) {
                groove = 1.0f;
            }
            break;
        default:  // eye of nested rings
            if (std::fabs(std::fmod(r * 12.0f, 2.0f) - 1.0f) < 0.3f) {
                groove = 1.0f;
            }
            break;
        }
    }
    // Corner studs on the frame.
    for (float sx : {-0.86f, 0.86f}) {
        for (float sy : {-0.86f, 0.86f}) {
            if (std::hypot(c.x - sx, c.y - sy) < 0.06f) {
                relief += 3.0f;
            }
        }
    }
    // Weathering: a crack and lichen.
    float crack = std::fabs(fbm(glm::vec2(p.x * 3.0f + float(glyph), p.y * 3.0f), 4, modelSeed + 17u) - 0.5f);
    if (crack < 0.006f && grain > 0.5f) {
        groove = std::max(groove, 0.8f);
    }
    float lichen = smoothstep01(0.62f, 0.72f, fbm(p * 6.0f + float(glyph) * 3.0f, 4, modelSeed + 23u));
    base = mixColor(base, glm::vec3(0.52f, 0.60f, 0.30f), lichen * 0.7f);
    glm::vec3 carved = base * 0.45f + glm::vec3(0.04f, 0.05f, 0.08f);
    // Glyph grooves glow faintly blue: the stone floats by its own magic.
    if (groove > 0.0f && r < 0.62f) {
        carved = mixColor(carved, glm::vec3(0.35f, 0.70f, 0.95f), 0.55f);
    }
    Texel t;
    t.color = mixColor(base, carved, groove);
    t.relief = relief - 4.0f * groove;
    return t;
}

}  // namespace

Model makeStone()
{
    Model model;
    model.reliefStrength = 0.9f;
    model.texture = makeTextureImage(textureSize, textureSize);
    // Each face: normal axis and two in-plane axes whose cross product is the normal.
    const glm::vec3 axes[6][3] = {
        {{0, 0, -1}, {-1, 0, 0}, {0, 1, 0}},  // -z, the front seen from P8
        {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}},   // +x
        {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},    // +z
        {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}},   // -x
        {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}},   // +y
        {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},   // -y
    };
    const size_t first = model.mesh.positions.size();
    for (int f = 0; f < 6; ++f) {
        glm::vec3 n = axes[f][0], a = axes[f][1], b = axes[f][2];
        // Faces sit in a 3 x 3 grid of square atlas cells.
        UvRect cell{{float(f % 3) / 3.0f, float(f / 3) / 3.0f},
                    {float(f % 3 + 1) / 3.0f, float(f / 3 + 1) / 3.0f}};
        addPatch(
            model.mesh, faceCells, faceCells,
            [&](float u, float v) {
                glm::vec3 onCube =
                    n * halfSize + a * faceCoordinate(u * 2.0f - 1.0f) + b * faceCoordinate(v * 2.0f - 1.0f);
                return roundedBoxPoint(onCube);
            },
            cell);
        paintRect(model.texture, cell, [&](glm::vec2 p, glm::vec2) { return paintFace(p, f); });
    }
    smoothNormals(model.mesh, first);  // one smooth surface across the face seams
    return model;
}
