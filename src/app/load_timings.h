// Start-up timing record: how long the renderer set-up, each model's read and upload and the
// texture loads took, filled in by Scene::load and the texture loader for the bench to report.
#pragma once

struct LoadTimings {
    double rendererSeconds = 0.0;        // Renderer constructor: programs, uniforms, shadow target
    double modelReadSeconds[9] = {};     // Importer::ReadFile, per model in load order
    double modelUploadSeconds[9] = {};   // SceneObject construction, its textures included
    double modelTextureSeconds[9] = {};  // the part of the upload spent in loadTexture
    double textureSeconds = 0.0;         // every loadTexture call: read, decode, upload, mipmaps
    int textureCount = 0;
};
extern LoadTimings loadTimings;

// Monotonic seconds for the record above; a clock read per start-up step costs nothing that shows.
double loadTimingClock();
