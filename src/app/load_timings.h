// Start-up timing record: how long the renderer set-up, each model's read and upload and the
// texture loads took. Filled by Scene::load for a caller that hands one in (the bench).
#pragma once
#include "app/stage.h"

struct LoadTimings {
    double rendererSeconds = 0.0;                       // Renderer constructor: programs, uniforms, shadow target
    double modelReadSeconds[stageObjectCount] = {};     // Importer::ReadFile, per model in load order
    double modelUploadSeconds[stageObjectCount] = {};   // SceneObject construction, its textures included
    double modelTextureSeconds[stageObjectCount] = {};  // the part of the upload spent in loadTexture
    double textureSeconds = 0.0;                        // every loadTexture call: read, decode, upload, mipmaps
    int textureCount = 0;
};
