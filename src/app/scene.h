// The stage: the renderer, the nine placed models with one importer each, and the moving light.
#pragma once
#include "assets/scene_object.h"
#include "render/renderer.h"

#include <assimp/Importer.hpp>

#include <string>

struct GLFWwindow;

struct Scene {
    // Each importer owns the model data that its object's mesh points into.
    Assimp::Importer importers[9];
    Renderer renderer;
    SceneObject background;
    SceneObject stone;
    SceneObject ground;
    SceneObject luigi;
    SceneObject mario;
    SceneObject turmGross;
    SceneObject turmKlein;
    SceneObject goomba1;
    SceneObject goomba2;
    int lightDirection = 1;  // +1 or -1: where the light's z is heading

    // What went wrong when load() returned false: the model file and the importer's reason.
    std::string loadFailure;

    // Renderer, models, placements and the starting toon look; false when a model file cannot
    // be read, which leaves the scene fit only to be released and destroyed.
    bool load(GLFWwindow* window);
    void animate(double dt);
    // The three passes of a frame, in this order.
    void render();
    void renderShadowPass();
    void renderOutlinePass();
    void renderShadedPass();
    // Deletes every GL object of the demo; needs the context current. Safe after a failed load.
    void release();
};
