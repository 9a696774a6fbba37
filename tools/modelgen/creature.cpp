// The sprout beetle: a squat domed body with a spotted shell, big eyes at the front, a
// two-leaf sprout on top and four stubby feet. Built at full size (about 1.4 units tall) with
// its soles at y = -1.3, since the demo scales it by 0.3 and lifts its origin 0.39 above the
// plaza; faces +z, then turns towards the cameras on the +x side.
#include "creature.h"

#include <algorithm>
#include <cmath>

#include <glm/geometric.hpp>
#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include "noise.h"
#include "stage_layout.h"

namespace {

constexpr int textureSize = 512;  // seen small: it is a third of a metre tall
constexpr uint32_t modelSeed = 909u;

const UvRect bodyUv{{0.0f, 0.5f}, {1.0f, 1.0f}};
const UvRect eyeUv{{0.0f, 0.0f}, {0.25f, 0.5f}};
const UvRect footUv{{0.25f, 0.0f}, {0.5f, 0.5f}};
const UvRect leafUv{{0.5f, 0.0f}, {0.75f, 0.5f}};
const UvRect stemUv{{0.75f, 0.0f}, {1.0f, 0.5f}};

constexpr float bodyHalfHeight = 0.42f;
constexpr float footHeight = 0.13f;
constexpr float bodyCentreY = creatureFeet + 2.0f * footHeight * 0.8f + bodyHalfHeight;

// Shell above the belly line, with darker spots; a pale belly below; mouth at the front.
Texel paintBody(glm::vec2 p)
{
    float n = fbm(glm::vec2(p.x * 12.0f, p.y * 6.0f), 3, modelSeed, 12);
    glm::vec3 shell = mixColor(glm::vec3(0.62f, 0.78f, 0.20f), glm::vec3(0.78f, 0.88f, 0.32f), n);
    float spots = cellDistance(glm::vec2(p.x * 10.0f, p.y * 5.0f), modelSeed + 1u, 10);
    if (spots < 0.25f && p.y > 0.62f) {
        shell = glm::vec3(0.40f, 0.58f, 0.14f);
    }
    glm::vec3 belly(0.98f, 0.96f, 0.62f);
    float line = 0.48f + 0.04f * std::sin(p.x * glm::two_pi<float>() * 8.0f);
    Texel t{p.y > line ? shell : belly * (0.95f + 0.08f * n), p.y > line ? 1.5f + n : n};
    if (std::fabs(p.y - line) < 0.012f) {
        t.color = glm::vec3(0.35f, 0.48f, 0.12f);
    }
    // Mouth: a wide grin at the front (u = 0.5) just below the belly line.
    glm::vec2 m((p.x - 0.5f) * 5.0f, p.y - 0.42f);
    if (std::fabs(m.x) < 0.5f && std::fabs(m.y + 0.12f * (1.0f - m.x * m.x * 4.0f)) < 0.018f) {
        t.color = glm::vec3(0.30f, 0.16f, 0.10f);
        t.relief = -1.0f;
    }
    return t;
}

// Eyes are spheres turned so that the pupil (u = 0.5, just above the middle) looks forward.
Texel paintEye(glm::vec2 p)
{
    glm::vec2 e((p.x - 0.5f) * 3.0f, (p.y - 0.55f) * 1.5f);
    float r = glm::length(e);
    glm::vec3 c(0.98f, 0.98f, 0.95f);
    if (r < 0.32f) {
        c = glm::vec3(0.10f, 0.10f, 0.12f);
    }
    if (glm::length(e - glm::vec2(0.1f, 0.12f)) < 0.09f) {
        c = glm::vec3(1.0f);
    }
    return {c, 0.0f};
}

Texel paintFoot(glm::vec2 p)
{
    float n = fbm(p * 8.0f, 3, modelSeed + 2u, 8);
    return {mixColor(glm::vec3(0.55f, 0.42f, 0.18f), glm::vec3(0.68f, 0.52f, 0.24f), n), n};
}

Texel paintLeaf(glm::vec2 p)
{
    float vein = std::fabs(std::fmod(p.x * 6.0f + std::fabs(p.y - 0.5f) * 3.0f, 1.0f) - 0.5f);
    glm::vec3 c = mixColor(glm::vec3(0.30f, 0.62f, 0.16f), glm::vec3(0.50f, 0.80f, 0.25f), p.y);
    if (vein < 0.05f) {
        c *= 1.15f;
    }
    return {c, 0.0f};
}

}  // namespace

Model makeCreature()
{
    Model model;
    Mesh& mesh = model.mesh;
    // Feet first: soles exactly at creatureFeet, two at the front and two at the back.
    for (float sx : {-1.0f, 1.0f}) {
        for (float sz : {-1.0f, 1.0f}) {
            addPart(mesh, {sx * 0.3f, creatureFeet + footHeight, sz * 0.22f + 0.05f}, {0.17f, footHeight, 0.22f},
                    12, 6, footUv);
        }
    }
    // Domed body, flattened underneath.
    {
        const size_t first = mesh.positions.size();
        addLathe(
            mesh, 30, 18,
            [](float v) {
                float a = v * glm::pi<float>();
                float bulge = 1.0f + 0.15f * std::sin(a);
                float y = -std::cos(a) * bodyHalfHeight;
                if (y < 0.0f) {
                    y *= 0.6f;  // flat belly
                }
                return glm::vec2(std::sin(a) * 0.6f * bulge, y);
            },
            bodyUv);
        glm::mat4 m = glm::translate(glm::mat4(1.0f), {0.0f, bodyCentreY, 0.0f});
        m = glm::rotate(m, glm::pi<float>(), glm::vec3(0, 1, 0));
        transformVertices(mesh, first, m);
    }
    // Eyes bulging from the upper front of the body.
    for (float side : {-1.0f, 1.0f}) {
        glm::mat4 look = glm::rotate(glm::mat4(1.0f), side * 0.25f, glm::vec3(0, 1, 0));
        addPart(mesh, {side * 0.2f, bodyCentreY + 0.2f, 0.5f}, {0.14f, 0.19f, 0.13f}, 14, 10, eyeUv, look);
    }
    // Sprout: a stem and two leaves.
    const float top = bodyCentreY + bodyHalfHeight;
    addPart(mesh, {0.0f, top + 0.08f, 0.0f}, {0.035f, 0.14f, 0.035f}, 8, 5, stemUv);
    for (float side : {-1.0f, 1.0f}) {
        glm::mat4 pose = glm::rotate(glm::mat4(1.0f), side * 0.6f, glm::vec3(0, 0, 1));
        addPart(mesh, {side * 0.13f, top + 0.22f, 0.0f}, {0.15f, 0.03f, 0.08f}, 10, 5, leafUv, pose);
    }
    transformVertices(mesh, 0,
                      glm::rotate(glm::mat4(1.0f), glm::radians(creatureFacingDegrees), glm::vec3(0, 1, 0)));

    model.texture = makeTextureImage(textureSize, textureSize);
    paintRect(model.texture, bodyUv, [](glm::vec2 p, glm::vec2) { return paintBody(p); });
    paintRect(model.texture, eyeUv, [](glm::vec2 p, glm::vec2) { return paintEye(p); });
    paintRect(model.texture, footUv, [](glm::vec2 p, glm::vec2) { return paintFoot(p); });
    paintRect(model.texture, leafUv, [](glm::vec2 p, glm::vec2) { return paintLeaf(p); });
    paintRect(model.texture, stemUv, [](glm::vec2, glm::vec2) {
        return Texel{glm::vec3(0.35f, 0.55f, 0.18f), 0.0f};
    });
    return model;
}
