// The models placed where the stage table puts them: characters and creatures standing on their
// surfaces, nothing sunk into anything, and a picture at every point of the camera path:
// no camera inside or within the near plane of a model, all of them inside the sky, which
// stays inside the far plane. The island's underside has the relief the dive shows, its
// floating rocks keep clear of it and of the camera, and the sky keeps out of the shadow map.
#include "app/show_script.h"
#include "app/stage.h"
#include "floating_rocks.h"
#include "platform/asset_path.h"
#include "render/light_rig.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

namespace {

constexpr unsigned importFlags = aiProcess_Triangulate | aiProcess_GenSmoothNormals | aiProcess_FlipUVs;
constexpr float nearPlane = 0.1f;
constexpr float farPlane = 100.0f;
constexpr float hopHeight = 4.0f;  // in the object's own (possibly scaled) units

struct Triangle {
    glm::vec3 a, b, c;
};

struct Placed {
    std::vector<Triangle> triangles;
    std::vector<glm::vec3> vertices;
};

// Where the stage puts an object, `lift` units higher in its own frame (the top of a hop).
glm::mat4 placement(StageObject which, float lift = 0.0f)
{
    const StagePlacement& p = stageEntry(which).placement;
    glm::mat4 m = glm::rotate(glm::mat4(1.0f), glm::radians(p.turnDegrees), glm::vec3(0, 1, 0));
    m = glm::scale(m, glm::vec3(p.scale));
    return glm::translate(m, p.offset + glm::vec3(0.0f, lift, 0.0f));
}

Placed load(StageObject which, float lift = 0.0f)
{
    const glm::mat4 model = placement(which, lift);
    Placed placed;
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(hostPath(stageEntry(which).modelPath), importFlags);
    if (!scene) {
        return placed;
    }
    const aiMesh* mesh = scene->mMeshes[0];
    for (unsigned i = 0; i < mesh->mNumVertices; ++i) {
        const aiVector3D& v = mesh->mVertices[i];
        placed.vertices.push_back(glm::vec3(model * glm::vec4(v.x, v.y, v.z, 1.0f)));
    }
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
        const unsigned* idx = mesh->mFaces[f].mIndices;
        placed.triangles.push_back({placed.vertices[idx[0]], placed.vertices[idx[1]], placed.vertices[idx[2]]});
    }
    return placed;
}

const glm::vec3 stoneCentre = stageEntry(StageObject::stone).placement.offset;

// Closest point on a triangle (Ericson, Real-Time Collision Detection 5.1.5).
glm::vec3 closestPoint(const glm::vec3& p, const Triangle& t)
{
    glm::vec3 ab = t.b - t.a, ac = t.c - t.a, ap = p - t.a;
    float d1 = glm::dot(ab, ap), d2 = glm::dot(ac, ap);
    if (d1 <= 0 && d2 <= 0) {
        return t.a;
    }
    glm::vec3 bp = p - t.b;
    float d3 = glm::dot(ab, bp), d4 = glm::dot(ac, bp);
    if (d3 >= 0 && d4 <= d3) {
        return t.b;
    }
    float vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0) {
        return t.a + ab * (d1 / (d1 - d3));
    }
    glm::vec3 cp = p - t.c;
    float d5 = glm::dot(ab, cp), d6 = glm::dot(ac, cp);
    if (d6 >= 0 && d5 <= d6) {
        return t.c;
    }
    float vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0) {
        return t.a + ac * (d2 / (d2 - d6));
    }
    float va = d3 * d6 - d5 * d4;
    if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0) {
        return t.b + (t.c - t.b) * ((d4 - d3) / ((d4 - d3) + (d5 - d6)));
    }
    float denom = 1.0f / (va + vb + vc);
    return t.a + ab * (vb * denom) + ac * (vc * denom);
}

// Distance to the nearest surface, and whether the point lies on the side that surface faces.
struct Nearest {
    float distance = 1e30f;
    bool inFront = true;
};

Nearest nearest(const glm::vec3& p, const Placed& placed)
{
    Nearest best;
    float bestFacing = 0.0f;  // |cos| between the face and the way to the point
    for (const Triangle& t : placed.triangles) {
        glm::vec3 q = closestPoint(p, t);
        float d = glm::length(p - q);
        if (d > best.distance + 1e-5f) {
            continue;
        }
        // Where the nearest point is an edge or corner shared by several faces, the face that
        // looks most squarely at the point decides the side.
        glm::vec3 n = glm::cross(t.b - t.a, t.c - t.a);
        float len = glm::length(n);
        float facing = (d > 0.0f && len > 0.0f) ? glm::dot(p - q, n) / (d * len) : 0.0f;
        if (d < best.distance - 1e-5f || std::fabs(facing) > bestFacing) {
            best.distance = std::min(d, best.distance);
            best.inFront = facing >= 0.0f;
            bestFacing = std::fabs(facing);
        }
    }
    return best;
}

// Height of the highest surface under (x, z), or -inf when nothing is there.
float surfaceBelow(float x, float z, const Placed& placed, float from = 1e9f)
{
    float best = -1e30f;
    const glm::vec2 p(x, z);
    for (const Triangle& t : placed.triangles) {
        glm::vec2 a(t.a.x, t.a.z), b(t.b.x, t.b.z), c(t.c.x, t.c.z);
        float area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
        if (std::fabs(area) < 1e-12f) {
            continue;
        }
        float w1 = ((p.x - a.x) * (c.y - a.y) - (p.y - a.y) * (c.x - a.x)) / area;
        float w2 = ((b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x)) / area;
        float w0 = 1.0f - w1 - w2;
        if (w0 < -1e-5f || w1 < -1e-5f || w2 < -1e-5f) {
            continue;
        }
        float y = w0 * t.a.y + w1 * t.b.y + w2 * t.c.y;
        if (y <= from) {
            best = std::max(best, y);
        }
    }
    return best;
}

struct Pose {
    glm::vec3 eye;
};

// Where the camera waits before the first segment opens.
const glm::vec3 startEye(0.0f, 0.0f, 5.0f);

std::vector<glm::vec3> cameraPath()
{
    std::vector<glm::vec3> eyes{startEye};
    const int steps = 60;
    const auto eye = [](int pose) { return glm::vec3(showPoses[pose].x, showPoses[pose].y, showPoses[pose].z); };
    for (const ShowSegment& s : showSegments) {
        for (int i = 0; i <= steps; ++i) {
            eyes.push_back(glm::mix(eye(s.from), eye(s.to), float(i) / steps));
        }
    }
    return eyes;
}

class Stage : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        background = load(StageObject::background);
        ground = load(StageObject::ground);
        stone = load(StageObject::stone);
        tallTower = load(StageObject::turmGross);
        shortTower = load(StageObject::turmKlein);
        mario = load(StageObject::mario);
        luigi = load(StageObject::luigi);
        creature1 = load(StageObject::goomba1);
        creature2 = load(StageObject::goomba2);
    }
    static Placed background, ground, stone, tallTower, shortTower, mario, luigi, creature1, creature2;
};
Placed Stage::background, Stage::ground, Stage::stone, Stage::tallTower, Stage::shortTower, Stage::mario,
    Stage::luigi, Stage::creature1, Stage::creature2;

float lowest(const Placed& p)
{
    float y = 1e30f;
    for (const glm::vec3& v : p.vertices) {
        y = std::min(y, v.y);
    }
    return y;
}

// Every vertex within `band` of the lowest one: the soles.
std::vector<glm::vec3> soles(const Placed& p, float band)
{
    std::vector<glm::vec3> out;
    float y0 = lowest(p);
    for (const glm::vec3& v : p.vertices) {
        if (v.y < y0 + band) {
            out.push_back(v);
        }
    }
    return out;
}

TEST_F(Stage, AllModelsLoad)
{
    for (const Placed* p :
         {&background, &ground, &stone, &tallTower, &shortTower, &mario, &luigi, &creature1, &creature2}) {
        EXPECT_FALSE(p->triangles.empty());
    }
}

// Soles rest on the surface under them: not hanging over an edge, not sunk, not floating.
void expectStandsOn(const Placed& figure, const Placed& surface, float surfaceHeight, const char* what)
{
    std::vector<glm::vec3> feet = soles(figure, 0.004f);
    ASSERT_FALSE(feet.empty());
    EXPECT_NEAR(lowest(figure), surfaceHeight, 0.01f) << what;
    for (const glm::vec3& f : feet) {
        EXPECT_NEAR(surfaceBelow(f.x, f.z, surface, f.y + 0.05f), f.y, 0.03f)
            << what << " sole at " << f.x << ", " << f.z;
    }
}

TEST_F(Stage, CharactersStandOnTheirTowerTops)
{
    // The towers' tops are the heights the characters are placed at.
    expectStandsOn(mario, tallTower, stageEntry(StageObject::mario).placement.offset.y, "mario");
    expectStandsOn(luigi, shortTower, stageEntry(StageObject::luigi).placement.offset.y, "luigi");
}

TEST_F(Stage, CreaturesStandOnTheGround)
{
    expectStandsOn(creature1, ground, 0.0f, "first creature");
    expectStandsOn(creature2, ground, 0.0f, "second creature");
}

TEST_F(Stage, TowersAreRootedInTheGround)
{
    for (float angle = 0.0f; angle < 6.28f; angle += 0.3f) {
        for (StageObject which : {StageObject::turmGross, StageObject::turmKlein}) {
            const glm::vec3 centre = stageEntry(which).placement.offset;
            const Placed& tower = which == StageObject::turmGross ? tallTower : shortTower;
            float radius = 0.5f;  // inside every tower's foot
            glm::vec3 p = centre + radius * glm::vec3(std::sin(angle), 0.0f, std::cos(angle));
            float groundY = surfaceBelow(p.x, p.z, ground);
            EXPECT_NEAR(groundY, 0.0f, 0.05f);
            EXPECT_LT(lowest(tower), groundY - 0.1f);
        }
    }
}

// Nothing of one object lies inside another: no vertex of a figure is behind the nearest
// surface of a tower or the ground.
void expectNotInside(const Placed& figure, const Placed& solid, const char* what)
{
    size_t inside = 0;
    for (const glm::vec3& v : figure.vertices) {
        Nearest n = nearest(v, solid);
        if (!n.inFront && n.distance > 0.005f) {
            ++inside;
        }
    }
    EXPECT_EQ(inside, 0u) << what;
}

TEST_F(Stage, NothingIsSunkIntoAnything)
{
    expectNotInside(mario, tallTower, "mario in the tall tower");
    expectNotInside(luigi, shortTower, "luigi in the short tower");
    expectNotInside(creature1, tallTower, "first creature in the tall tower");
    expectNotInside(creature1, ground, "first creature in the ground");
    expectNotInside(creature2, ground, "second creature in the ground");
    expectNotInside(shortTower, tallTower, "the towers in each other");
}

TEST_F(Stage, SpinningStoneClearsEverything)
{
    float reach = 0.0f;
    for (const glm::vec3& v : stone.vertices) {
        reach = std::max(reach, glm::length(v - stoneCentre));
    }
    EXPECT_GT(reach, 0.4f);
    for (const Placed* p : {&ground, &tallTower, &shortTower, &mario, &luigi}) {
        EXPECT_GT(nearest(stoneCentre, *p).distance, reach + 0.3f);
    }
}

// Every camera position on the path: outside each model by more than the near plane, the
// stone at any spin angle and the figures at rest or at the top of a hop.
TEST_F(Stage, CameraPathNeverEntersOrClipsAModel)
{
    const Placed lifted[] = {load(StageObject::mario, hopHeight), load(StageObject::luigi, hopHeight),
                             load(StageObject::goomba1, hopHeight), load(StageObject::goomba2, hopHeight)};
    float stoneReach = 0.0f;
    for (const glm::vec3& v : stone.vertices) {
        stoneReach = std::max(stoneReach, glm::length(v - stoneCentre));
    }
    struct Named {
        const Placed* model;
        const char* name;
    };
    const Named solids[] = {{&ground, "ground"},
                            {&tallTower, "tall tower"},
                            {&shortTower, "short tower"},
                            {&mario, "mario"},
                            {&luigi, "luigi"},
                            {&creature1, "creature 1"},
                            {&creature2, "creature 2"},
                            {&lifted[0], "mario hopping"},
                            {&lifted[1], "luigi hopping"},
                            {&lifted[2], "creature 1 hopping"},
                            {&lifted[3], "creature 2 hopping"}};
    for (const glm::vec3& eye : cameraPath()) {
        for (const Named& s : solids) {
            Nearest n = nearest(eye, *s.model);
            EXPECT_TRUE(n.inFront) << "camera at " << eye.x << ", " << eye.y << ", " << eye.z << " inside "
                                   << s.name;
            EXPECT_GT(n.distance, nearPlane * 1.5f)
                << "camera at " << eye.x << ", " << eye.y << ", " << eye.z << " clips " << s.name;
        }
        EXPECT_GT(glm::length(eye - stoneCentre), stoneReach + nearPlane * 1.5f);
    }
}

// The window clears to white: the sky must surround every camera position, all of it nearer
// than the far plane.
TEST_F(Stage, SkyEnclosesTheCameraWithinTheFarPlane)
{
    for (const glm::vec3& eye : cameraPath()) {
        Nearest n = nearest(eye, background);
        EXPECT_TRUE(n.inFront) << "camera outside the sky at " << eye.x << ", " << eye.y << ", " << eye.z;
        float farthest = 0.0f;
        for (const glm::vec3& v : background.vertices) {
            farthest = std::max(farthest, glm::length(v - eye));
        }
        EXPECT_LT(farthest, farPlane * 0.95f);
    }
}

// Looking -x from the first poses the ground must fill the lower part of the picture: the
// island reaches from under the towers far to the west.
TEST_F(Stage, IslandReachesUnderTheWholePath)
{
    for (float z = -15.0f; z <= 12.0f; z += 1.5f) {
        EXPECT_GT(surfaceBelow(-3.0f, z, ground), -1.0f) << "no ground at x = -3, z = " << z;
        EXPECT_GT(surfaceBelow(0.5f, z, ground), -1.0f) << "no ground at x = 0.5, z = " << z;
    }
}

// The ground's triangles grouped into the pieces they form: triangles sharing a corner belong
// together, so the island (top and underside), each prop, root and floating rock is one piece.
std::vector<std::vector<Triangle>> pieces(const Placed& placed)
{
    std::map<std::tuple<long, long, long>, size_t> cornerIds;
    auto cornerId = [&](const glm::vec3& v) {
        auto key = std::make_tuple(std::lround(v.x * 1e4f), std::lround(v.y * 1e4f), std::lround(v.z * 1e4f));
        return cornerIds.emplace(key, cornerIds.size()).first->second;
    };
    std::vector<size_t> parent;
    auto find = [&](size_t i) {
        while (parent[i] != i) {
            i = parent[i] = parent[parent[i]];
        }
        return i;
    };
    std::vector<glm::uvec3> corners;
    for (const Triangle& t : placed.triangles) {
        corners.push_back(glm::uvec3(cornerId(t.a), cornerId(t.b), cornerId(t.c)));
    }
    parent.resize(cornerIds.size());
    std::iota(parent.begin(), parent.end(), size_t(0));
    for (const glm::uvec3& c : corners) {
        parent[find(c.y)] = find(c.x);
        parent[find(c.z)] = find(c.x);
    }
    std::map<size_t, std::vector<Triangle>> byRoot;
    for (size_t i = 0; i < corners.size(); ++i) {
        byRoot[find(corners[i].x)].push_back(placed.triangles[i]);
    }
    std::vector<std::vector<Triangle>> result;
    for (auto& entry : byRoot) {
        result.push_back(std::move(entry.second));
    }
    std::sort(result.begin(), result.end(), [](const auto& a, const auto& b) { return a.size() > b.size(); });
    return result;
}

// Where a ray first meets a triangle (Moller-Trumbore), as a distance along it; -1 for a miss.
float hitDistance(glm::vec3 origin, glm::vec3 direction, const Triangle& t)
{
    const glm::vec3 e1 = t.b - t.a, e2 = t.c - t.a;
    const glm::vec3 p = glm::cross(direction, e2);
    const float det = glm::dot(e1, p);
    if (std::fabs(det) < 1e-9f) {
        return -1.0f;
    }
    const glm::vec3 s = origin - t.a;
    const float u = glm::dot(s, p) / det;
    const glm::vec3 q = glm::cross(s, e1);
    const float v = glm::dot(direction, q) / det;
    if (u < 0.0f || v < 0.0f || u + v > 1.0f) {
        return -1.0f;
    }
    const float d = glm::dot(e2, q) / det;
    return d > 0.0f ? d : -1.0f;
}

float firstHit(glm::vec3 origin, glm::vec3 direction, const std::vector<Triangle>& triangles)
{
    float best = -1.0f;
    for (const Triangle& t : triangles) {
        float d = hitDistance(origin, direction, t);
        if (d > 0.0f && (best < 0.0f || d < best)) {
            best = d;
        }
    }
    return best;
}

class Island : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ground = load(StageObject::ground);
        parts = pieces(ground);
    }
    // The top and the underside: by far the largest piece.
    static const std::vector<Triangle>& body()
    {
        return parts.front();
    }
    static Placed ground;
    static std::vector<std::vector<Triangle>> parts;
};
Placed Island::ground;
std::vector<std::vector<Triangle>> Island::parts;

std::vector<Triangle> within(const std::vector<Triangle>& triangles, float yLow, float yHigh)
{
    std::vector<Triangle> out;
    for (const Triangle& t : triangles) {
        float lo = std::min({t.a.y, t.b.y, t.c.y}), hi = std::max({t.a.y, t.b.y, t.c.y});
        if (hi >= yLow && lo <= yHigh) {
            out.push_back(t);
        }
    }
    return out;
}

// Under the rim the dive passes, the rock face steps in and out in ledges and overhangs: seen
// from outside, how far in the face lies jumps from one height to the next, again and again.
TEST_F(Island, UndersideStepsInLedgesAndOverhangsWhereTheCameraDives)
{
    const std::vector<Triangle> face = within(body(), -3.2f, 0.0f);
    std::vector<int> stepsPerColumn;
    for (float z = -3.5f; z <= 2.5f; z += 0.5f) {
        int steps = 0;
        float previous = -1.0f;
        for (float y = -0.3f; y >= -3.0f; y -= 0.05f) {
            float d = firstHit(glm::vec3(12.0f, y, z), glm::vec3(-1.0f, 0.0f, 0.0f), face);
            ASSERT_GT(d, 0.0f) << "no underside at y = " << y << ", z = " << z;
            if (previous > 0.0f && std::fabs(d - previous) > 0.12f) {
                ++steps;
            }
            previous = d;
        }
        stepsPerColumn.push_back(steps);
    }
    std::sort(stepsPerColumn.begin(), stepsPerColumn.end());
    EXPECT_GE(stepsPerColumn[stepsPerColumn.size() / 2], 2) << "the face under the rim is smooth";
}

// Seen from below, around the point the underside hangs down to, its height varies from one
// spot to the next: ledges, buttresses and gullies rather than a smooth cone.
TEST_F(Island, UndersideIsRoughAroundItsPoint)
{
    glm::vec3 point(0.0f, 1e9f, 0.0f);
    for (const Triangle& t : body()) {
        for (const glm::vec3& v : {t.a, t.b, t.c}) {
            if (v.y < point.y) {
                point = v;
            }
        }
    }
    const std::vector<Triangle> lower = within(body(), point.y - 1.0f, -1.0f);
    auto height = [&](float x, float z) {
        float d = firstHit(glm::vec3(x, point.y - 5.0f, z), glm::vec3(0.0f, 1.0f, 0.0f), lower);
        return d > 0.0f ? point.y - 5.0f + d : 1e9f;
    };
    const float step = 0.4f;
    float roughness = 0.0f;
    int samples = 0;
    for (float radius = 0.8f; radius <= 4.0f; radius += 0.4f) {
        for (float angle = 0.0f; angle < 6.28f; angle += 0.2f) {
            float x = point.x + radius * std::cos(angle), z = point.z + radius * std::sin(angle);
            float h = height(x, z);
            float around[] = {height(x + step, z), height(x - step, z), height(x, z + step), height(x, z - step)};
            if (h > 1e8f || std::any_of(std::begin(around), std::end(around), [](float a) { return a > 1e8f; })) {
                continue;
            }
            roughness += std::fabs(h - (around[0] + around[1] + around[2] + around[3]) / 4.0f);
            ++samples;
        }
    }
    ASSERT_GT(samples, 200);
    EXPECT_GT(roughness / float(samples), 0.08f) << "the underside round its point is smooth";
}

// Each floating rock is a piece of its own, clear of the island, of its roots and stalactites,
// of the other rocks, and far enough from every camera position not to fill the picture.
TEST_F(Island, FloatingRocksClearTheIslandAndTheCamera)
{
    const std::vector<glm::vec3> eyes = cameraPath();
    for (const FloatingRock& rock : floatingRocks) {
        SCOPED_TRACE("rock at " + std::to_string(rock.centre.x) + ", " + std::to_string(rock.centre.y) + ", " +
                     std::to_string(rock.centre.z));
        const float extent = 2.5f * std::max({rock.size.x, rock.size.y, rock.size.z});
        // The piece with its middle nearest the rock's centre, of those as large as a rock
        // (roots and stalactites are smaller).
        size_t mine = 0;
        float nearestMiddle = extent;
        for (size_t i = 1; i < parts.size(); ++i) {
            glm::vec3 lo(1e30f), hi(-1e30f);
            for (const Triangle& t : parts[i]) {
                lo = glm::min(lo, glm::min(t.a, glm::min(t.b, t.c)));
                hi = glm::max(hi, glm::max(t.a, glm::max(t.b, t.c)));
            }
            float d = glm::length((lo + hi) * 0.5f - rock.centre);
            if (parts[i].size() >= 100 && d < nearestMiddle) {
                nearestMiddle = d;
                mine = i;
            }
        }
        ASSERT_NE(mine, 0u) << "no rock there, or it is joined to the island";
        Placed self, others;
        for (const Triangle& t : parts[mine]) {
            for (const glm::vec3& v : {t.a, t.b, t.c}) {
                ASSERT_LT(glm::length(v - rock.centre), extent) << "the rock is joined to something else";
                self.vertices.push_back(v);
            }
        }
        for (size_t i = 0; i < parts.size(); ++i) {
            for (const Triangle& t : parts[i]) {
                bool close = std::min({glm::length(t.a - rock.centre), glm::length(t.b - rock.centre),
                                       glm::length(t.c - rock.centre)}) < extent + 3.0f;
                if (i != mine && close) {
                    others.triangles.push_back(t);
                }
            }
        }
        float gap = 1e30f;
        for (const glm::vec3& v : self.vertices) {
            gap = std::min(gap, others.triangles.empty() ? 1e30f : nearest(v, others).distance);
            for (const glm::vec3& eye : eyes) {
                ASSERT_GT(glm::length(v - eye), 1.0f)
                    << "the camera at " << eye.x << ", " << eye.y << ", " << eye.z;
            }
        }
        EXPECT_GT(gap, 0.3f) << "the rock touches the island or its roots";
    }
}

// The dive under the rim passes close to the rock but never into it: the picture never fills
// with a face a hand's breadth from the lens.
TEST_F(Island, DiveKeepsClearOfTheRock)
{
    const ShowSegment& dive = showSegments[3];
    const glm::vec3 from(showPoses[dive.from].x, showPoses[dive.from].y, showPoses[dive.from].z);
    const glm::vec3 to(showPoses[dive.to].x, showPoses[dive.to].y, showPoses[dive.to].z);
    for (int i = 0; i <= 80; ++i) {
        const glm::vec3 eye = glm::mix(from, to, float(i) / 80.0f);
        EXPECT_GT(nearest(eye, ground).distance, 0.5f) << "camera at " << eye.x << ", " << eye.y << ", " << eye.z;
    }
}

// Nothing of the sky (its cloud sea, its distant islands, its dome) enters the box the shadow
// map sees from the light, wherever the light is on its sweep: it would cast shadows onto the
// stage and spread the map's texels over the sky.
TEST_F(Stage, SkyStaysOutOfTheShadowMap)
{
    const glm::mat4 lightBox = glm::ortho(-lightBoxHalfWidth, lightBoxHalfWidth, -lightBoxHalfWidth,
                                          lightBoxHalfWidth, lightBoxNear, lightBoxFar);
    // Past both turns, by as far as a slow frame's step carries the light beyond them.
    for (float z = lightTurnBack - 0.2f; z <= lightTurnFront + 0.2f; z += 0.4f) {
        const glm::mat4 light =
            lightBox * glm::lookAt(glm::vec3(lightStart.x, lightStart.y, z), lightTarget, lightUp);
        for (const glm::vec3& v : background.vertices) {
            glm::vec4 c = light * glm::vec4(v, 1.0f);
            bool inside = std::fabs(c.x) <= 1.0f && std::fabs(c.y) <= 1.0f && std::fabs(c.z) <= 1.0f;
            ASSERT_FALSE(inside) << "sky at " << v.x << ", " << v.y << ", " << v.z
                                 << " with the light at z = " << z;
        }
    }
}

}  // namespace
