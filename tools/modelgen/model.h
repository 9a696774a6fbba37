// One generated model: its mesh, its painted texture and whether it carries a normal map.
#pragma once
#include <string>

#include "mesh.h"
#include "texture_image.h"

struct Model {
    std::string name;  // file stem: <name>.obj, <name>.mtl, <name>_diffuse.png
    Mesh mesh;
    TextureImage texture;
    bool normalMap = false;       // also writes <name>_normal.png into the opacity slot
    float reliefStrength = 1.0f;  // slope scale of the normal map
};

// Writes the OBJ, MTL and PNG files of `model` into `directory`; false on any write failure.
bool writeModel(const Model& model, const std::string& directory);
