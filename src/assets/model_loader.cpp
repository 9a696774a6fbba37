// Model loader: the SceneObject constructor that uploads the first mesh of an imported scene
// (indices, positions, normals, texture coordinates, and on the bump path tangents and
// bitangents) and loads the colour and normal-map textures that its material names.
#include "assets/scene_object.h"

#include "assets/tangents.h"
#include "assets/texture.h"

#include <assimp/material.h>
#include <assimp/scene.h>

#include <cstdio>
#include <vector>

namespace {

// The material whose textures the object uses: the scene's second one, as the delivered models
// keep their single real material there (Assimp puts its default material first). A scene with
// fewer materials falls back to the mesh's own, if that index exists.
const aiMaterial* textureMaterial(const aiScene* scene, const aiMesh* mesh)
{
    if (scene->mMaterials == nullptr) {
        return nullptr;
    }
    if (scene->mNumMaterials >= 2) {
        return scene->mMaterials[1];
    }
    if (mesh->mMaterialIndex < scene->mNumMaterials) {
        return scene->mMaterials[mesh->mMaterialIndex];
    }
    return nullptr;
}

std::string firstTexturePath(const aiMaterial* material, aiTextureType type)
{
    aiString path;
    if (material != nullptr) {
        aiGetMaterialTexture(material, type, 0, &path, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    }
    return std::string(path.C_Str());
}

GLuint uploadAttribute(const void* data, size_t bytes, GLuint location, GLint components)
{
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(bytes), data, GL_STATIC_DRAW);
    glEnableVertexAttribArray(location);
    glVertexAttribPointer(location, components, GL_FLOAT, GL_FALSE, 0, nullptr);
    return buffer;
}

}  // namespace

SceneObject::SceneObject(const aiScene* scene, GLuint positionAttrib, GLuint normalAttrib, GLuint uvAttrib,
                         bool useBumpMap, TextureLoadTimes* textureTimes)
    : useBumpMap(useBumpMap), positionAttrib(positionAttrib), normalAttrib(normalAttrib), uvAttrib(uvAttrib)
{
    // A scene without meshes leaves an empty object, which the passes skip.
    if (scene == nullptr || scene->mNumMeshes == 0 || scene->mMeshes == nullptr || scene->mMeshes[0] == nullptr) {
        return;
    }
    mesh = scene->mMeshes[0];
    const unsigned vertexCount = mesh->mNumVertices;

    // The first three indices of each face; faces with fewer than three (points, lines) are left
    // out rather than read past their end.
    std::vector<unsigned> indices;
    indices.reserve(static_cast<size_t>(mesh->mNumFaces) * 3);
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
        const aiFace& face = mesh->mFaces[f];
        if (face.mNumIndices < 3 || face.mIndices == nullptr) {
            continue;
        }
        indices.insert(indices.end(), face.mIndices, face.mIndices + 3);
    }

    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);

    glGenBuffers(1, &indexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(unsigned)),
                 indices.data(), GL_STATIC_DRAW);

    if (mesh->mVertices != nullptr && vertexCount > 0) {
        positionBuffer = uploadAttribute(mesh->mVertices, vertexCount * sizeof(aiVector3D), positionAttrib, 3);
    }
    if (mesh->mNormals != nullptr && vertexCount > 0) {
        normalBuffer = uploadAttribute(mesh->mNormals, vertexCount * sizeof(aiVector3D), normalAttrib, 3);
    }

    const bool importerTangents = mesh->mTangents != nullptr && mesh->mBitangents != nullptr && vertexCount > 0;
    printf("tangents: %d\n", importerTangents ? 1 : 0);

    if (mesh->mTextureCoords[0] == nullptr || vertexCount == 0) {
        return;
    }

    const aiMaterial* material = textureMaterial(scene, mesh);
    const std::string colourPath = firstTexturePath(material, aiTextureType_DIFFUSE);
    const std::string normalMapPath = firstTexturePath(material, aiTextureType_OPACITY);
    printf("%s\n", colourPath.c_str());
    printf("%s\n", normalMapPath.c_str());
    diffuseTexture = loadTexture(colourPath, textureTimes);
    if (!normalMapPath.empty()) {
        printf("LOAD: %s\n", normalMapPath.c_str());
        bumpTexture = loadTexture(normalMapPath, textureTimes);
    }

    // (u, 1 - v) per face corner in face order: under the import contract corner k is vertex k.
    // Indices past the mesh's vertices and corners past its vertex count are not followed.
    std::vector<glm::vec2> uvs(vertexCount, glm::vec2(0.0f));
    size_t slot = 0;
    for (unsigned f = 0; f < mesh->mNumFaces && slot < vertexCount; ++f) {
        const aiFace& face = mesh->mFaces[f];
        for (unsigned k = 0; k < face.mNumIndices && slot < vertexCount; ++k) {
            const unsigned i = face.mIndices[k];
            if (i >= vertexCount) {
                continue;
            }
            const aiVector3D& uv = mesh->mTextureCoords[0][i];
            uvs[slot++] = glm::vec2(uv.x, 1.0f - uv.y);
        }
    }

    // Tangents need normals; a mesh without them keeps the bump path's buffers empty.
    if (useBumpMap && mesh->mNormals != nullptr && mesh->mVertices != nullptr) {
        std::vector<glm::vec3> positions(vertexCount);
        std::vector<glm::vec3> normals(vertexCount);
        for (unsigned i = 0; i < vertexCount; ++i) {
            positions[i] = glm::vec3(mesh->mVertices[i].x, mesh->mVertices[i].y, mesh->mVertices[i].z);
            normals[i] = glm::vec3(mesh->mNormals[i].x, mesh->mNormals[i].y, mesh->mNormals[i].z);
        }
        std::vector<glm::vec3> tangents;
        std::vector<glm::vec3> bitangents;
        computeTangents(positions, uvs, normals, tangents, bitangents);
        tangentBuffer = uploadAttribute(tangents.data(), tangents.size() * sizeof(glm::vec3), tangentAttrib, 3);
        bitangentBuffer =
            uploadAttribute(bitangents.data(), bitangents.size() * sizeof(glm::vec3), bitangentAttrib, 3);
    }

    uvBuffer = uploadAttribute(uvs.data(), uvs.size() * sizeof(glm::vec2), uvAttrib, 2);
}
