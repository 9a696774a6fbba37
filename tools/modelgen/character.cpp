// The two characters: small round-headed wanderers in padded tunics, with boots, mittens and
// a hat: mario a stocky one with a wide-brimmed felt hat and a scarf, luigi a taller, slimmer
// one with a long pointed cap. Feet at y = 0 (the tower top), built facing +z, then turned so
// that, after the demo's half turn, they face the cameras on the +x side.
#include "character.h"

#include <algorithm>
#include <cmath>

#include <glm/geometric.hpp>
#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include "noise.h"
#include "stage_layout.h"

namespace {

constexpr int textureSize = 1024;

// Atlas regions.
const UvRect tunicUv{{0.0f, 0.5f}, {0.5f, 1.0f}};
const UvRect headUv{{0.5f, 0.5f}, {1.0f, 1.0f}};
const UvRect hatUv{{0.0f, 0.25f}, {0.5f, 0.5f}};
const UvRect sleeveUv{{0.5f, 0.25f}, {0.75f, 0.5f}};
const UvRect trouserUv{{0.75f, 0.25f}, {1.0f, 0.5f}};
const UvRect bootUv{{0.0f, 0.0f}, {0.25f, 0.25f}};
const UvRect mittenUv{{0.25f, 0.0f}, {0.5f, 0.25f}};
const UvRect skinUv{{0.5f, 0.0f}, {0.75f, 0.25f}};
const UvRect scarfUv{{0.75f, 0.0f}, {1.0f, 0.25f}};

enum class Hat { FeltBrim, PointedCap };

struct CharacterStyle {
    float height;  // top of the head (without hat) above the feet
    float girth;   // body radius
    glm::vec3 tunic, tunicDark, trousers, boots, mittens, hat, hatBand, scarf;
    Hat hatKind;
    uint32_t seed;
};

// Woven cloth: a fine crosshatch relief and a little colour variation.
float weave(glm::vec2 p, float density)
{
    float a = std::sin(p.x * density) * std::sin(p.y * density);
    return 0.5f + 0.5f * a;
}

Texel cloth(glm::vec2 p, glm::vec3 color, float density, uint32_t seed)
{
    float w = weave(p * glm::two_pi<float>(), density);
    float n = fbm(p * 8.0f, 3, seed, 8);
    return {color * (0.88f + 0.12f * w) * (0.92f + 0.16f * n), 0.8f * w + 0.6f * n};
}

// A stitched seam line: returns 1 on the seam.
float seam(float d, float width)
{
    return smoothstep01(width, width * 0.4f, std::fabs(d));
}

Texel paintTunic(glm::vec2 p, const CharacterStyle& s)
{
    Texel t = cloth(p, s.tunic, 90.0f, s.seed);
    // Belt around the waist (v 0.38..0.46 of the body), with a buckle at the front (u = 0.5).
    if (p.y > 0.36f && p.y < 0.45f) {
        t.color = s.boots * (0.9f + 0.2f * fbm(p * 40.0f, 2, s.seed + 1u, 40));
        t.relief = 2.5f;
        if (std::fabs(p.x - 0.5f) < 0.035f) {
            bool hole = std::fabs(p.x - 0.5f) < 0.02f && p.y > 0.38f && p.y < 0.43f;
            t.color = hole ? s.boots : glm::vec3(0.85f, 0.72f, 0.30f);
            t.relief = hole ? 2.0f : 4.0f;
        }
    }
    // Front placket with buttons, and side seams.
    float placket = seam(p.x - 0.5f, 0.012f);
    if (p.y > 0.45f) {
        t.color = mixColor(t.color, s.tunicDark, placket);
        t.relief -= 1.5f * placket;
        for (float by : {0.55f, 0.66f, 0.77f}) {
            float d = std::hypot((p.x - 0.5f) * 3.0f, p.y - by);
            if (d < 0.022f) {
                t.color = glm::vec3(0.92f, 0.88f, 0.75f);
                t.relief += 3.0f * (1.0f - d / 0.022f);
            }
        }
    }
    float side = std::max(seam(p.x - 0.25f, 0.008f), seam(p.x - 0.75f, 0.008f));
    t.color = mixColor(t.color, s.tunicDark, side * 0.8f);
    t.relief -= side;
    // Padded quilting lines on the lower tunic.
    if (p.y < 0.36f && p.y > 0.12f) {
        float q = seam(std::fmod(p.y * 20.0f, 1.0f) - 0.5f, 0.08f);
        t.color = mixColor(t.color, s.tunicDark, q * 0.6f);
        t.relief -= 1.2f * q;
    }
    // Hem.
    if (p.y < 0.12f) {
        t.color = mixColor(t.color, s.tunicDark, 0.5f);
    }
    return t;
}

// Skin with the face at u = 0.5 (the front once the head is turned).
Texel paintHead(glm::vec2 p, const CharacterStyle& s)
{
    const glm::vec3 skin(0.96f, 0.78f, 0.62f);
    float n = fbm(p * 10.0f, 2, s.seed + 3u, 10);
    Texel t{skin * (0.96f + 0.06f * n), 0.3f * n};
    // Face coordinates: x across (u), y up (v), 0 at the middle of the face.
    glm::vec2 f((p.x - 0.5f) * 4.0f, (p.y - 0.5f) * 2.0f);
    for (float side : {-1.0f, 1.0f}) {
        glm::vec2 e = f - glm::vec2(side * 0.24f, 0.12f);
        float eye = (e.x * e.x) / 0.012f + (e.y * e.y) / 0.028f;
        if (eye < 1.0f) {
            t.color = glm::vec3(0.97f, 0.97f, 0.97f);
            glm::vec2 pupil = e - glm::vec2(side * 0.02f, -0.01f);
            if ((pupil.x * pupil.x) / 0.005f + (pupil.y * pupil.y) / 0.012f < 1.0f) {
                t.color = glm::vec3(0.12f, 0.16f, 0.30f);
            }
            if (std::hypot(pupil.x - 0.02f, (pupil.y - 0.05f) * 0.6f) < 0.022f) {
                t.color = glm::vec3(1.0f);
            }
            t.relief = 1.5f;
        } else if (eye < 1.35f) {
            t.color = glm::vec3(0.25f, 0.15f, 0.10f);  // outline
        }
        // Brows and rosy cheeks.
        glm::vec2 b = f - glm::vec2(side * 0.25f, 0.36f);
        if (std::fabs(b.y + 0.06f * b.x * side) < 0.025f && std::fabs(b.x) < 0.12f) {
            t.color = glm::vec3(0.35f, 0.20f, 0.10f);
        }
        float cheek = std::hypot(f.x - side * 0.38f, (f.y + 0.08f) * 1.4f);
        t.color = mixColor(t.color, glm::vec3(0.95f, 0.55f, 0.50f), smoothstep01(0.12f, 0.02f, cheek) * 0.6f);
    }
    // A small smile.
    float smileR = std::hypot(f.x, (f.y + 0.02f) * 1.2f);
    if (std::fabs(smileR - 0.22f) < 0.018f && f.y < -0.14f) {
        t.color = glm::vec3(0.55f, 0.22f, 0.18f);
        t.relief = -1.0f;
    }
    // Hair at the back and sides of the head.
    float back = std::fabs(p.x - 0.5f);
    if (back > 0.2f && p.y > 0.38f + 0.1f * std::sin(p.x * 60.0f)) {
        float strand = 0.5f + 0.5f * std::sin(p.x * 400.0f + p.y * 20.0f);
        t.color = glm::vec3(0.36f, 0.22f, 0.12f) * (0.8f + 0.3f * strand);
        t.relief = 1.0f * strand;
    }
    return t;
}

Texel paintHat(glm::vec2 p, const CharacterStyle& s)
{
    Texel t = cloth(p, s.hat, 60.0f, s.seed + 5u);
    // A band above the brim of the felt hat; stitching on both hats.
    bool band = s.hatKind == Hat::FeltBrim && p.y > 0.42f && p.y < 0.55f;
    if (band) {
        t.color = s.hatBand * (0.9f + 0.1f * weave(p * 300.0f, 1.0f));
        t.relief += 1.5f;
    }
    float stitch = std::fmod(p.x * 120.0f, 1.0f) < 0.5f ? 1.0f : 0.0f;
    float stitchLine = s.hatKind == Hat::FeltBrim ? 0.4f : 0.14f;
    if (std::fabs(p.y - stitchLine) < 0.006f && stitch > 0.0f) {
        t.color *= 0.7f;
        t.relief -= 1.0f;
    }
    return t;
}

Texel paintBoot(glm::vec2 p, const CharacterStyle& s)
{
    float n = fbm(p * 14.0f, 4, s.seed + 7u, 14);
    Texel t{s.boots * (0.8f + 0.35f * n), 2.0f * n};
    if (p.y < 0.22f) {  // sole
        t.color = glm::vec3(0.20f, 0.16f, 0.12f);
        t.relief = 0.5f + 0.5f * std::sin(p.x * 300.0f);
    }
    if (std::fabs(p.y - 0.3f) < 0.01f) {
        t.relief -= 1.5f;  // welt seam
    }
    return t;
}

Texel paintScarf(glm::vec2 p, const CharacterStyle& s)
{
    // Knitted rib with stripes.
    float rib = 0.5f + 0.5f * std::sin(p.x * 6.2831853f * 48.0f);
    bool stripe = std::fmod(p.y * 4.0f, 1.0f) < 0.3f;
    glm::vec3 c = stripe ? s.tunic * 1.1f : s.scarf;
    return {c * (0.85f + 0.15f * rib), 2.0f * rib};
}

Model makeCharacter(const CharacterStyle& s)
{
    Model model;
    model.reliefStrength = 0.7f;
    Mesh& mesh = model.mesh;

    const float h = s.height, g = s.girth;
    const float bootHeight = 0.075f * h / 0.8f;
    const float hipY = 0.24f * h;
    const float bodyY = 0.45f * h, bodyHalf = 0.22f * h;
    const float headR = 0.2f * h;
    const float headY = h - headR;

    // Boots: toes forward, soles exactly on y = 0.
    for (float side : {-1.0f, 1.0f}) {
        addPart(mesh, {side * g * 0.45f, bootHeight, 0.03f}, {0.075f * h / 0.8f, bootHeight, 0.12f * h / 0.8f}, 14,
                8, bootUv);
        // Legs: trouser cylinders from inside the boot to inside the tunic.
        const size_t first = mesh.positions.size();
        addLathe(
            mesh, 12, 3,
            [&](float v) { return glm::vec2(0.055f * h / 0.8f, bootHeight + (hipY + 0.08f - bootHeight) * v); },
            trouserUv);
        transformVertices(mesh, first, glm::translate(glm::mat4(1.0f), {side * g * 0.45f, 0.0f, 0.0f}));
    }
    // Body: an egg, wider at the bottom.
    {
        const size_t first = mesh.positions.size();
        addLathe(
            mesh, 20, 13,
            [&](float v) {
                float a = v * glm::pi<float>();
                float r = std::sin(a) * g * (1.0f + 0.12f * std::cos(a));
                return glm::vec2(r, -std::cos(a) * bodyHalf);
            },
            tunicUv);
        glm::mat4 m = glm::translate(glm::mat4(1.0f), {0.0f, bodyY, 0.0f});
        m = glm::scale(m, {1.0f, 1.0f, 0.9f});
        m = glm::rotate(m, glm::pi<float>(), glm::vec3(0, 1, 0));
        transformVertices(mesh, first, m);
    }
    // Arms: sleeves hanging a little outwards and forwards, mittens at the ends.
    for (float side : {-1.0f, 1.0f}) {
        glm::vec3 shoulder(side * g * 0.85f, bodyY + bodyHalf * 0.45f, 0.0f);
        glm::vec3 hand = shoulder + glm::vec3(side * 0.10f, -0.24f, 0.06f) * (h / 0.8f);
        glm::vec3 mid = (shoulder + hand) * 0.5f;
        glm::vec3 dir = glm::normalize(hand - shoulder);
        float len = glm::length(hand - shoulder);
        glm::mat4 pose(1.0f);
        glm::vec3 axis = glm::cross(glm::vec3(0, 1, 0), dir);
        if (glm::length(axis) > 1e-5f) {
            pose =
                glm::rotate(glm::mat4(1.0f), std::acos(glm::dot(glm::vec3(0, 1, 0), dir)), glm::normalize(axis));
        }
        addPart(mesh, mid, {0.06f * h / 0.8f, len * 0.6f, 0.06f * h / 0.8f}, 12, 8, sleeveUv, pose);
        addPart(mesh, hand + dir * 0.02f, glm::vec3(0.055f * h / 0.8f), 10, 7, mittenUv);
    }
    // Head and nose.
    addPart(mesh, {0.0f, headY, 0.0f}, {headR, headR * 0.95f, headR * 0.95f}, 20, 13, headUv);
    addPart(mesh, {0.0f, headY - headR * 0.12f, headR * 0.92f}, glm::vec3(headR * 0.2f), 10, 6, skinUv);

    // Hat.
    if (s.hatKind == Hat::FeltBrim) {
        const size_t first = mesh.positions.size();
        const float brimR = headR * 1.55f, crownR = headR * 0.9f;
        const float brimY = headY + headR * 0.35f;
        // One closed profile: brim underside, brim edge, brim top, crown side, domed top.
        const glm::vec2 profile[] = {{0.0f, brimY - 0.01f},           {brimR, brimY - 0.01f},
                                     {brimR * 1.02f, brimY + 0.012f}, {crownR * 1.02f, brimY + 0.02f},
                                     {crownR, brimY + headR * 0.7f},  {crownR * 0.7f, brimY + headR * 0.95f},
                                     {0.0f, brimY + headR * 1.02f}};
        const float vs[] = {0.0f, 0.15f, 0.25f, 0.4f, 0.7f, 0.88f, 1.0f};
        addLathe(
            mesh, 20, 9,
            [&](float v) {
                int k = 0;
                while (k < 5 && v > vs[k + 1]) {
                    ++k;
                }
                float t = (v - vs[k]) / (vs[k + 1] - vs[k]);
                return profile[k] + (profile[k + 1] - profile[k]) * t;
            },
            hatUv);
        // Tipped back a little about the middle of the head.
        glm::mat4 m = glm::translate(glm::mat4(1.0f), {0.0f, headY, 0.0f});
        m = glm::rotate(m, -0.12f, glm::vec3(1, 0, 0));
        m = glm::translate(m, {0.0f, -headY, 0.0f});
        transformVertices(mesh, first, m);
        // Scarf: a thick ring at the neck.
        const size_t scarf = mesh.positions.size();
        addPatch(
            mesh, 18, 8,
            [&](float u, float v) {
                float a = u * glm::two_pi<float>(), b = v * glm::two_pi<float>();
                float ring = g * 0.62f + 0.045f * std::cos(b);
                return glm::vec3(ring * std::sin(a), 0.06f * std::sin(b), ring * std::cos(a));
            },
            scarfUv);
        transformVertices(mesh, scarf, glm::translate(glm::mat4(1.0f), {0.0f, bodyY + bodyHalf * 0.92f, 0.0f}));
    } else {
        // Pointed cap sitting on the head above the brows, its tip flopping backwards.
        const float baseY = headY + headR * 0.42f;
        const float baseR = headR * 0.93f;
        addPatch(
            mesh, 20, 12,
            [&](float u, float v) {
                float a = u * glm::two_pi<float>();
                float r = baseR * std::pow(1.0f - v, 0.8f) + 0.004f;
                float y = baseY + v * headR * 2.2f - v * v * v * headR * 0.9f;
                return glm::vec3(r * std::sin(a), y, r * std::cos(a) - v * v * headR * 1.2f);
            },
            hatUv);
        // A rolled trim round the cap's rim.
        const size_t trim = mesh.positions.size();
        addPatch(
            mesh, 20, 6,
            [&](float u, float v) {
                float a = u * glm::two_pi<float>(), b = v * glm::two_pi<float>();
                float ring = baseR + 0.012f * std::cos(b);
                return glm::vec3(ring * std::sin(a), 0.022f * std::sin(b), ring * std::cos(a));
            },
            scarfUv);
        transformVertices(mesh, trim, glm::translate(glm::mat4(1.0f), {0.0f, baseY, 0.0f}));
    }
    // The whole figure turns to face the cameras.
    transformVertices(mesh, 0,
                      glm::rotate(glm::mat4(1.0f), glm::radians(characterFacingDegrees), glm::vec3(0, 1, 0)));

    model.texture = makeTextureImage(textureSize, textureSize);
    TextureImage& tex = model.texture;
    paintRect(tex, tunicUv, [&](glm::vec2 p, glm::vec2) { return paintTunic(p, s); });
    paintRect(tex, headUv, [&](glm::vec2 p, glm::vec2) { return paintHead(p, s); });
    paintRect(tex, hatUv, [&](glm::vec2 p, glm::vec2) { return paintHat(p, s); });
    paintRect(tex, sleeveUv, [&](glm::vec2 p, glm::vec2) {
        Texel t = cloth(p, s.tunic, 70.0f, s.seed + 8u);
        if (p.y < 0.15f) {
            t.color = s.tunicDark;  // cuff
        }
        return t;
    });
    paintRect(tex, trouserUv, [&](glm::vec2 p, glm::vec2) { return cloth(p, s.trousers, 70.0f, s.seed + 9u); });
    paintRect(tex, bootUv, [&](glm::vec2 p, glm::vec2) { return paintBoot(p, s); });
    paintRect(tex, mittenUv, [&](glm::vec2 p, glm::vec2) { return cloth(p, s.mittens, 50.0f, s.seed + 10u); });
    paintRect(tex, skinUv, [&](glm::vec2 p, glm::vec2) {
        return Texel{glm::vec3(0.98f, 0.70f, 0.58f) * (0.95f + 0.08f * fbm(p * 6.0f, 2, s.seed, 6)), 0.0f};
    });
    paintRect(tex, scarfUv, [&](glm::vec2 p, glm::vec2) { return paintScarf(p, s); });
    return model;
}

}  // namespace

Model makeMario()
{
    CharacterStyle s{0.80f,
                     0.20f,
                     {0.90f, 0.48f, 0.10f},
                     {0.62f, 0.30f, 0.05f},  // orange tunic
                     {0.45f, 0.30f, 0.15f},
                     {0.36f, 0.22f, 0.10f},  // brown trousers, boots
                     {0.50f, 0.32f, 0.12f},  // mittens
                     {0.48f, 0.31f, 0.12f},
                     {0.85f, 0.45f, 0.08f},  // felt hat, orange band
                     {0.55f, 0.33f, 0.10f},
                     Hat::FeltBrim,
                     707u};
    return makeCharacter(s);
}

Model makeLuigi()
{
    CharacterStyle s{0.92f,
                     0.17f,
                     {0.42f, 0.68f, 0.16f},
                     {0.25f, 0.45f, 0.08f},  // green tunic
                     {0.30f, 0.38f, 0.14f},
                     {0.30f, 0.22f, 0.12f},  // moss trousers, brown boots
                     {0.28f, 0.48f, 0.10f},  // mittens
                     {0.30f, 0.58f, 0.12f},
                     {0.85f, 0.82f, 0.60f},  // cap (band unused)
                     {0.86f, 0.82f, 0.62f},
                     Hat::PointedCap,
                     808u};  // cream trim
    return makeCharacter(s);
}
