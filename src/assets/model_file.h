// Reading a model file with Assimp, after refusing inputs that are known to crash the importer.
#pragma once
#include <string>

struct aiScene;
namespace Assimp {
class Importer;
}

// The scene that `importer` read from the OBJ file at `path` with `flags`, or null with the
// reason in `failure`. Refused before reading: a folder in the model's place, and a material
// library of the model that names a texture before its first "newmtl", on which Assimp 5.2
// dereferences a null material.
const aiScene* readModelFile(Assimp::Importer& importer, const std::string& path, unsigned flags,
                             std::string& failure);
