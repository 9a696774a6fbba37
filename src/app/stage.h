// The stage's nine objects in one table: name, model file, bump map, contour, placement and toon
// colours. The scene, the show script, the tools and the model generator all read it, so an
// object is added, renamed or moved here and nowhere else.
#pragma once
#include <glm/vec3.hpp>

// In load order; each value indexes the tables below and the scene's objects.
enum class StageObject { background, stone, ground, luigi, mario, turmGross, turmKlein, goomba1, goomba2 };
constexpr int stageObjectCount = 9;

constexpr int stageIndex(StageObject object)
{
    return static_cast<int>(object);
}

// Applied once after loading, in this order: a turn about the object's own y axis, a uniform
// scale, then a translation in the turned and scaled frame. Identity parts are skipped, so an
// object without a placement keeps the identity model matrix.
struct StagePlacement {
    float turnDegrees = 0.0f;
    float scale = 1.0f;
    glm::vec3 offset = glm::vec3(0.0f);
};

// The three bands of the toon shading, brightest first.
struct ToonColors {
    glm::vec3 lit;
    glm::vec3 middle;
    glm::vec3 shade;
};

struct StageEntry {
    const char* name;
    const char* modelPath;  // relative to the working directory, with a backslash as the tables write it
    bool loadsBumpMap;      // read with tangents; only these objects are ever bump-mapped
    bool outlined;          // drawn with a contour in every style
    StagePlacement placement;
    ToonColors toon;
};

namespace stageColors {
constexpr ToonColors scenery = {{0.2f, 0.8f, 0.8f}, {0.0f, 0.6f, 0.8f}, {0.0f, 0.4f, 0.6f}};
constexpr ToonColors mario = {{0.8f, 0.4f, 0.0f}, {0.431f, 0.286f, 0.024f}, {0.435f, 0.294f, 0.024f}};
constexpr ToonColors luigi = {{0.463f, 0.698f, 0.145f}, {0.306f, 0.573f, 0.082f}, {0.275f, 0.376f, 0.047f}};
constexpr ToonColors goomba = {{1.0f, 1.0f, 0.4f}, {0.6f, 0.8f, 0.2f}, {0.4f, 0.6f, 0.2f}};
}  // namespace stageColors

// Indexed by StageObject. The characters are turned half about y; the goombas, read twice from
// one file, stand at a third of their model size.
inline constexpr StageEntry stageEntries[stageObjectCount] = {
    {"background", "models\\background.obj", false, false, {}, stageColors::scenery},
    {"stone", "models\\stone2.obj", true, true, {0.0f, 1.0f, {0.0f, 4.0f, -4.0f}}, stageColors::scenery},
    {"ground", "models\\ground.obj", true, false, {}, stageColors::scenery},
    {"luigi", "models\\luigi_bl_mat.obj", true, true, {180.0f, 1.0f, {0.0f, 1.1f, -2.0f}}, stageColors::luigi},
    {"mario", "models\\mario_bl_mat.obj", true, true, {180.0f, 1.0f, {0.7f, 1.8f, 0.0f}}, stageColors::mario},
    {"turmGross", "models\\turm_gross.obj", false, true, {}, stageColors::scenery},
    {"turmKlein", "models\\turm_klein.obj", false, true, {0.0f, 1.0f, {0.0f, 0.0f, 2.0f}}, stageColors::scenery},
    {"goomba1", "models\\goomba.obj", false, true, {0.0f, 0.3f, {0.0f, 1.3f, -5.0f}}, stageColors::goomba},
    {"goomba2", "models\\goomba.obj", false, true, {0.0f, 0.3f, {0.0f, 1.3f, -10.0f}}, stageColors::goomba},
};

constexpr const StageEntry& stageEntry(StageObject object)
{
    return stageEntries[stageIndex(object)];
}

// The order of the shadow and shaded passes, of the contours (outlined objects only) and of release.
inline constexpr StageObject stageDrawOrder[stageObjectCount] = {
    StageObject::background, StageObject::ground,  StageObject::stone,
    StageObject::mario,      StageObject::luigi,   StageObject::turmGross,
    StageObject::turmKlein,  StageObject::goomba1, StageObject::goomba2,
};
