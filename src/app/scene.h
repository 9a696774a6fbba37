// The stage: the renderer, the placed models of the stage table with one importer each, and the
// moving light.
#pragma once
#include "app/stage.h"
#include "assets/scene_object.h"
#include "render/renderer.h"

#include <assimp/Importer.hpp>

#include <string>

struct GLFWwindow;
struct LoadTimings;

struct Scene {
    // Each importer owns the model data that its object's mesh points into.
    Assimp::Importer importers[stageObjectCount];
    Renderer renderer;
    SceneObject objects[stageObjectCount];  // indexed by StageObject
    int lightDirection = 1;                 // +1 or -1: where the light's z is heading
    bool forceOutlineQuads = false;         // set before load: the contour as quads on any GL

    // What went wrong when load() returned false: the model file and the importer's reason.
    std::string loadFailure;

    SceneObject& object(StageObject which)
    {
        return objects[stageIndex(which)];
    }
    const SceneObject& object(StageObject which) const
    {
        return objects[stageIndex(which)];
    }

    // Renderer, models, placements and the starting toon look; false when a model file cannot
    // be read, which leaves the scene fit only to be released and destroyed. A caller that
    // measures start-up passes a record for the times of each step.
    bool load(GLFWwindow* window, LoadTimings* timings = nullptr);
    // The stage table's placements; load applies them once, after reading the models.
    void placeObjects();
    void animate(double dt);
    // The three passes of a frame, in this order.
    void render();
    void renderShadowPass();
    void renderOutlinePass();
    void renderShadedPass();
    // Puts a rebuilt program in the place of `from`, in the renderer and in every object drawn
    // with it, and looks the uniforms up again; the caller deletes `from`.
    void replaceProgram(GLuint from, GLuint to);
    // Deletes every GL object of the demo; needs the context current. Safe after a failed load.
    void release();
};
