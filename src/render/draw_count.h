// The vertex count of one per-object draw: the mesh's vertex count, none for an object without
// a mesh (a scene that had no meshes), so such objects are skipped by every pass.
#pragma once
#include "assets/scene_object.h"

#include <assimp/mesh.h>

inline double meshVertexCount(const SceneObject& object)
{
    return object.mesh != nullptr ? static_cast<double>(object.mesh->mNumVertices) : 0.0;
}

// Whether an object has anything to draw: a mesh with vertices, its vertex array and positions.
inline bool hasGeometry(const SceneObject& object)
{
    return object.mesh != nullptr && object.mesh->mNumVertices > 0 && object.vertexArray != 0 &&
           object.positionBuffer != 0;
}
