// Round stone towers: tapering brick shaft, corbelled parapet, flagstone top, merlons,
// a painted door and windows on the side the cameras see (world +x).
#include "tower.h"

#include <algorithm>
#include <cmath>

#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include "noise.h"
#include "stage_layout.h"

namespace {

struct TowerShape {
    float top;          // height of the floor on top
    float topRadius;    // radius of the parapet
    float shaftRadius;  // radius just below the parapet
    int merlons;
    int bricksAround;  // brick columns once around
    int brickRows;
    uint32_t seed;
};

// Atlas: walls above, top floor and merlons below.
const UvRect wallUv{{0.0f, 0.25f}, {1.0f, 1.0f}};
const UvRect floorUv{{0.0f, 0.0f}, {0.5f, 0.25f}};
const UvRect merlonUv{{0.5f, 0.0f}, {1.0f, 0.25f}};

constexpr int textureSize = 1024;
constexpr int segments = 48;           // round enough for the close views at P1 and P11
constexpr float merlonHeight = 0.13f;  // low, so the character's legs stay in view
constexpr float merlonDepth = 0.13f;
constexpr float parapetDrop = 0.32f;  // the corbel flare starts this far below the top

// Running-bond bricks; `around` columns wrap seamlessly in u.
Texel paintBricks(glm::vec2 p, int around, int rows, uint32_t seed)
{
    float row = p.y * float(rows);
    int r = int(std::floor(row));
    float col = p.x * float(around) + ((r & 1) ? 0.5f : 0.0f);
    int c = int(std::floor(col));
    float fx = col - float(c), fy = row - float(r);
    float edge = std::min(std::min(fx, 1.0f - fx) * 2.2f, std::min(fy, 1.0f - fy));
    float mortar = smoothstep01(0.03f, 0.09f, edge);
    int cw = ((c % around) + around) % around;
    float tint = hash2(cw, r, seed);
    float grain = fbm(glm::vec2(p.x * 64.0f, p.y * 48.0f), 4, seed + 5u, 64);
    glm::vec3 stone = mixColor(glm::vec3(0.62f, 0.57f, 0.50f), glm::vec3(0.74f, 0.69f, 0.60f), tint);
    stone = mixColor(stone, glm::vec3(0.55f, 0.47f, 0.40f), hash2(cw, r, seed + 3u) > 0.8f ? 0.7f : 0.0f);
    stone *= 0.85f + 0.3f * grain;
    // Moss creeps up from the foot of the wall.
    float moss =
        smoothstep01(0.28f, 0.0f, p.y + 0.15f * fbm(glm::vec2(p.x * 16.0f, p.y * 8.0f), 3, seed + 9u, 16));
    stone = mixColor(stone, glm::vec3(0.33f, 0.45f, 0.20f), moss * 0.8f);
    glm::vec3 color = mixColor(glm::vec3(0.30f, 0.28f, 0.25f), stone, mortar);
    float relief = mortar * (2.0f + 1.5f * grain) + 0.6f * std::min(edge * 6.0f, 1.0f);
    return {color, relief};
}

// Arched opening in wall units (metres along the circumference and up): centred at x = 0,
// from y0 to y1 with a round top; true inside.
bool inArch(float x, float y, float halfWidth, float y0, float y1)
{
    if (std::fabs(x) > halfWidth || y < y0 || y > y1) {
        return false;
    }
    float archStart = y1 - halfWidth;
    if (y < archStart) {
        return true;
    }
    float dy = y - archStart;
    return x * x + dy * dy < halfWidth * halfWidth;
}

Texel paintWall(glm::vec2 p, const TowerShape& s)
{
    Texel t = paintBricks(p, s.bricksAround, s.brickRows, s.seed);
    const float footing = towerFooting;
    const float circumference = glm::two_pi<float>() * s.shaftRadius;
    const float y = footing + p.y * (s.top - footing);
    // Door towards world +x (u = 0.25), a window above it and one towards -z (u = 0.5).
    const float doorX = (p.x - 0.25f) * circumference;
    const float sideX = (p.x - 0.5f) * circumference;
    const float doorTop = s.top * 0.42f;
    const float windowLow = s.top * 0.58f, windowHigh = s.top * 0.78f;
    bool door = inArch(doorX, y, 0.19f, -1.0f, doorTop);
    bool doorFrame = inArch(doorX, y, 0.25f, -1.0f, doorTop + 0.06f);
    bool window = inArch(doorX, y, 0.07f, windowLow, windowHigh) ||
                  inArch(sideX, y, 0.07f, windowLow - 0.1f, windowHigh - 0.1f);
    bool windowFrame = inArch(doorX, y, 0.11f, windowLow - 0.04f, windowHigh + 0.04f) ||
                       inArch(sideX, y, 0.11f, windowLow - 0.14f, windowHigh - 0.06f);
    if (doorFrame || windowFrame) {
        t.color = glm::vec3(0.80f, 0.76f, 0.66f) * (0.9f + 0.1f * fbm(p * 200.0f, 2, s.seed + 4u));
        t.relief = 2.5f;
    }
    if (door) {
        float plank = std::fmod(doorX * 18.0f + 10.0f, 1.0f);
        bool band = std::fabs(y - doorTop * 0.3f) < 0.025f || std::fabs(y - doorTop * 0.7f) < 0.025f;
        t.color = glm::vec3(0.45f, 0.27f, 0.13f) *
                  (plank < 0.15f ? 0.6f : 0.9f + 0.2f * fbm(glm::vec2(doorX * 4.0f, y * 60.0f), 3, s.seed));
        if (band) {
            t.color = glm::vec3(0.25f, 0.24f, 0.24f);
        }
        t.relief = plank < 0.15f ? 0.3f : 1.0f;
    }
    if (window) {
        t.color = glm::vec3(0.12f, 0.10f, 0.13f);
        t.relief = 0.0f;
    }
    // A pale band under the parapet.
    if (y > s.top - parapetDrop - 0.04f) {
        t.color = mixColor(t.color, glm::vec3(0.82f, 0.78f, 0.70f), 0.45f);
    }
    return t;
}

// Concentric flagstone rings: u is the angle, v the radius (0 at the centre).
Texel paintFloor(glm::vec2 p, uint32_t seed)
{
    const int rings = 4;
    float ring = p.y * float(rings);
    int r = int(std::floor(ring));
    int perRing = 3 + 5 * r;
    float col = p.x * float(perRing) + 0.37f * float(r);
    int c = ((int(std::floor(col)) % perRing) + perRing) % perRing;
    float fx = col - std::floor(col), fy = ring - float(r);
    float edgeU = std::min(fx, 1.0f - fx) * (0.3f + float(r)) * 1.5f;
    float edge = std::min(edgeU, std::min(fy, 1.0f - fy));
    float seam = smoothstep01(0.02f, 0.07f, edge);
    float grain = fbm(glm::vec2(p.x * 40.0f, p.y * 24.0f), 4, seed + 11u, 40);
    glm::vec3 slab = mixColor(glm::vec3(0.58f, 0.55f, 0.50f), glm::vec3(0.70f, 0.66f, 0.58f), hash2(c, r, seed));
    slab *= 0.85f + 0.3f * grain;
    return {mixColor(glm::vec3(0.28f, 0.27f, 0.24f), slab, seam), seam * 2.0f + grain};
}

Model makeTower(const TowerShape& s)
{
    Model model;
    Mesh& mesh = model.mesh;
    const float footing = towerFooting;
    const float baseRadius = s.shaftRadius * 1.08f;
    const float flareStart = s.top - parapetDrop;

    // Wall: base, tapering shaft, corbel flare and parapet face, as one piecewise profile.
    const glm::vec2 profile[] = {{baseRadius, footing},
                                 {baseRadius, 0.12f},
                                 {s.shaftRadius, flareStart},
                                 {s.topRadius, flareStart + 0.12f},
                                 {s.topRadius, s.top}};
    const int pieces = 4;
    const int ringsPerPiece[pieces] = {2, 6, 2, 2};
    const float wallHeight = s.top - footing;
    for (int k = 0; k < pieces; ++k) {
        glm::vec2 a = profile[k], b = profile[k + 1];
        UvRect rect{uvInRect(wallUv, {0.0f, (a.y - footing) / wallHeight}),
                    uvInRect(wallUv, {1.0f, (b.y - footing) / wallHeight})};
        addLathe(
            mesh, segments, ringsPerPiece[k], [&](float v) { return a + (b - a) * v; }, rect);
    }
    // Floor on top (facing up) and the bottom cap (facing down).
    addPatch(
        mesh, segments, 4,
        [&](float u, float v) {
            float a = u * glm::two_pi<float>(), r = (1.0f - v) * s.topRadius;
            return glm::vec3(r * std::sin(a), s.top, r * std::cos(a));
        },
        floorUv);
    addPatch(
        mesh, segments, 1,
        [&](float u, float v) {
            float a = u * glm::two_pi<float>(), r = v * baseRadius;
            return glm::vec3(r * std::sin(a), footing, r * std::cos(a));
        },
        floorUv);
    // Merlons on the rim, half a step off the +x axis so none stands right at the door side.
    for (int i = 0; i < s.merlons; ++i) {
        const size_t first = mesh.positions.size();
        float width = glm::two_pi<float>() * s.topRadius / float(s.merlons) * 0.5f;
        addBox(mesh, {-width * 0.5f, 0.0f, -merlonDepth}, {width * 0.5f, merlonHeight, 0.0f}, merlonUv);
        float angle = (float(i) + 0.5f) * glm::two_pi<float>() / float(s.merlons);
        glm::mat4 m = glm::rotate(glm::mat4(1.0f), angle, glm::vec3(0, 1, 0));
        m = glm::translate(m, glm::vec3(0.0f, s.top - 0.001f, s.topRadius));
        transformVertices(mesh, first, m);
    }

    model.texture = makeTextureImage(textureSize, textureSize);
    paintRect(model.texture, wallUv, [&](glm::vec2 p, glm::vec2) { return paintWall(p, s); });
    paintRect(model.texture, floorUv, [&](glm::vec2 p, glm::vec2) { return paintFloor(p, s.seed); });
    paintRect(model.texture, merlonUv, [&](glm::vec2 p, glm::vec2) { return paintBricks(p, 2, 2, s.seed + 1u); });
    return model;
}

}  // namespace

Model makeTallTower()
{
    return makeTower({tallTowerTop, tallTowerTopRadius, tallTowerShaftRadius, 12, 20, 14, 101u});
}

Model makeShortTower()
{
    return makeTower({shortTowerTop, shortTowerTopRadius, shortTowerShaftRadius, 8, 14, 9, 202u});
}
