// The generated model files as the demo reads them: the import contract (one mesh, the real
// material at index 1, triangles with normals and UVs), the texture slots, the budgets, and
// normal maps and UVs fit for tangent-space bump mapping.
#include "platform/asset_path.h"
#include "stage_models.h"

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <glm/glm.hpp>
#include <gtest/gtest.h>
#include <lodepng.h>

namespace {

// The demo's import flags.
constexpr unsigned importFlags = aiProcess_Triangulate | aiProcess_GenSmoothNormals | aiProcess_FlipUVs;

struct ModelFileCase {
    StageObject object;  // the first stage object read from the file
    unsigned triangleBudget;
    bool closedOutward;  // a closed surface facing out (signed volume > 0)
    std::string name;    // the file stem, for messages and texture names
    bool normalMap;
};

// gtest prints a parameter into the test's listed name: the file stem, not the record's bytes
// (which hold a pointer and would change the name from build to build).
void PrintTo(const ModelFileCase& model, std::ostream* out)
{
    *out << model.name;
}

ModelFileCase fileCase(StageObject object, unsigned triangleBudget, bool closedOutward)
{
    return {object, triangleBudget, closedOutward, modelFileStem(object), stageEntry(object).loadsBumpMap};
}

// Per-file shares of the stage's 60,000 triangles (the creature's file is placed twice).
const ModelFileCase modelFiles[] = {
    fileCase(StageObject::background, 10000, false), fileCase(StageObject::stone, 6000, true),
    fileCase(StageObject::ground, 30000, true),      fileCase(StageObject::luigi, 6000, true),
    fileCase(StageObject::mario, 6000, true),        fileCase(StageObject::turmGross, 3000, true),
    fileCase(StageObject::turmKlein, 3000, true),    fileCase(StageObject::goomba1, 3000, true),
};

const aiScene* import(Assimp::Importer& importer, const std::string& name)
{
    return importer.ReadFile("models/" + name + ".obj", importFlags);
}

std::string texturePath(const aiMaterial* material, aiTextureType type)
{
    aiString path;
    if (aiGetMaterialTexture(material, type, 0, &path) != AI_SUCCESS) {
        return "";
    }
    return path.C_Str();
}

bool finite(const aiVector3D& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

class ModelFile : public ::testing::TestWithParam<ModelFileCase> {};
// The four models on the bump-mapped path.
class BumpModelFile : public ::testing::TestWithParam<ModelFileCase> {};

TEST_P(ModelFile, MeetsTheImportContract)
{
    const ModelFileCase model = GetParam();
    Assimp::Importer importer;
    const aiScene* scene = import(importer, model.name);
    ASSERT_NE(scene, nullptr) << importer.GetErrorString();
    ASSERT_EQ(scene->mNumMeshes, 1u);
    ASSERT_GE(scene->mNumMaterials, 2u);
    const aiMesh* mesh = scene->mMeshes[0];
    ASSERT_TRUE(mesh->HasPositions());
    ASSERT_TRUE(mesh->HasNormals());
    ASSERT_TRUE(mesh->HasTextureCoords(0));
    EXPECT_EQ(mesh->mMaterialIndex, 1u) << "the mesh should use the file's own material";
    EXPECT_GT(mesh->mNumFaces, 0u);
    EXPECT_LE(mesh->mNumFaces, model.triangleBudget);
    EXPECT_EQ(mesh->mNumVertices, 3 * mesh->mNumFaces);
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
        ASSERT_EQ(mesh->mFaces[f].mNumIndices, 3u) << "face " << f;
    }
    for (unsigned i = 0; i < mesh->mNumVertices; ++i) {
        ASSERT_TRUE(finite(mesh->mVertices[i])) << "vertex " << i;
        ASSERT_TRUE(finite(mesh->mNormals[i])) << "normal " << i;
        ASSERT_TRUE(finite(mesh->mTextureCoords[0][i])) << "uv " << i;
        ASSERT_NEAR(mesh->mNormals[i].Length(), 1.0f, 0.01f) << "normal " << i;
    }
}

TEST_P(ModelFile, MaterialNamesItsTexturesAndTheyDecode)
{
    const ModelFileCase model = GetParam();
    Assimp::Importer importer;
    const aiScene* scene = import(importer, model.name);
    ASSERT_NE(scene, nullptr);
    ASSERT_GE(scene->mNumMaterials, 2u);
    const aiMaterial* material = scene->mMaterials[1];
    const std::string diffuse = texturePath(material, aiTextureType_DIFFUSE);
    const std::string normal = texturePath(material, aiTextureType_OPACITY);
    EXPECT_EQ(diffuse, std::string("models/") + model.name + "_diffuse.png");
    EXPECT_EQ(normal, model.normalMap ? std::string("models/") + model.name + "_normal.png" : std::string());

    for (const std::string& path : {diffuse, normal}) {
        if (path.empty()) {
            continue;
        }
        std::vector<unsigned char> pixels;
        unsigned w = 0, h = 0;
        ASSERT_EQ(lodepng::decode(pixels, w, h, path), 0u) << path;
        // Every GL 3.3 and WebGL 2 device takes 2048 texels a side.
        EXPECT_GE(w, 64u);
        EXPECT_LE(w, 2048u);
        EXPECT_GE(h, 64u);
        EXPECT_LE(h, 2048u);
    }
}

// The normal map holds unit normals pointing out of the surface (blue up), and it has relief.
TEST_P(BumpModelFile, NormalMapHoldsUnitOutwardNormalsWithRelief)
{
    const ModelFileCase model = GetParam();
    std::vector<unsigned char> pixels;
    unsigned w = 0, h = 0;
    ASSERT_EQ(lodepng::decode(pixels, w, h, std::string("models/") + model.name + "_normal.png"), 0u);
    size_t tilted = 0;
    for (size_t i = 0; i < size_t(w) * h; ++i) {
        glm::vec3 n(pixels[4 * i] / 255.0f * 2.0f - 1.0f, pixels[4 * i + 1] / 255.0f * 2.0f - 1.0f,
                    pixels[4 * i + 2] / 255.0f * 2.0f - 1.0f);
        ASSERT_NEAR(glm::length(n), 1.0f, 0.03f) << "texel " << i;
        ASSERT_GT(n.z, 0.0f) << "texel " << i;
        if (n.z < 0.95f) {
            ++tilted;
        }
    }
    EXPECT_GT(tilted, size_t(w) * h / 50) << "too flat to show any relief";
}

// Tangents come from each triangle's UV gradient; a triangle with collinear UVs has none.
TEST_P(BumpModelFile, BumpMappedTrianglesHaveAUvGradient)
{
    const ModelFileCase model = GetParam();
    Assimp::Importer importer;
    const aiScene* scene = import(importer, model.name);
    ASSERT_NE(scene, nullptr);
    const aiMesh* mesh = scene->mMeshes[0];
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
        const unsigned* idx = mesh->mFaces[f].mIndices;
        aiVector3D a = mesh->mTextureCoords[0][idx[0]], b = mesh->mTextureCoords[0][idx[1]],
                   c = mesh->mTextureCoords[0][idx[2]];
        float det = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
        ASSERT_GT(std::fabs(det), 1e-10f) << "face " << f;
    }
}

// Faces wind counter-clockwise seen from outside, so back-face culling keeps the outside and
// the contour pass (back faces as lines) draws the silhouette; the sky is seen from inside.
TEST_P(ModelFile, FacesPointTheWayTheModelIsSeen)
{
    const ModelFileCase model = GetParam();
    Assimp::Importer importer;
    const aiScene* scene = import(importer, model.name);
    ASSERT_NE(scene, nullptr);
    const aiMesh* mesh = scene->mMeshes[0];
    double volume = 0.0;
    size_t agreeing = 0;
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
        const unsigned* idx = mesh->mFaces[f].mIndices;
        glm::dvec3 a(mesh->mVertices[idx[0]].x, mesh->mVertices[idx[0]].y, mesh->mVertices[idx[0]].z);
        glm::dvec3 b(mesh->mVertices[idx[1]].x, mesh->mVertices[idx[1]].y, mesh->mVertices[idx[1]].z);
        glm::dvec3 c(mesh->mVertices[idx[2]].x, mesh->mVertices[idx[2]].y, mesh->mVertices[idx[2]].z);
        volume += glm::dot(a, glm::cross(b, c)) / 6.0;
        glm::dvec3 faceNormal = glm::cross(b - a, c - a);
        aiVector3D n = mesh->mNormals[idx[0]] + mesh->mNormals[idx[1]] + mesh->mNormals[idx[2]];
        if (glm::dot(faceNormal, glm::dvec3(n.x, n.y, n.z)) > 0.0) {
            ++agreeing;
        }
    }
    if (model.closedOutward) {
        EXPECT_GT(volume, 0.0);
    } else {
        EXPECT_LT(volume, 0.0);
    }
    // Stored normals agree with the winding (a few slivers at sharp creases may not). The sky
    // is the exception: its normals all face the light so that it is lit evenly.
    if (model.closedOutward) {
        EXPECT_GT(agreeing, size_t(mesh->mNumFaces) * 99 / 100);
    }
}

INSTANTIATE_TEST_SUITE_P(Stage, ModelFile, ::testing::ValuesIn(modelFiles),
                         [](const ::testing::TestParamInfo<ModelFileCase>& info) { return info.param.name; });

std::vector<ModelFileCase> bumpModels()
{
    std::vector<ModelFileCase> result;
    for (const ModelFileCase& model : modelFiles) {
        if (model.normalMap) {
            result.push_back(model);
        }
    }
    return result;
}

INSTANTIATE_TEST_SUITE_P(Stage, BumpModelFile, ::testing::ValuesIn(bumpModels()),
                         [](const ::testing::TestParamInfo<ModelFileCase>& info) { return info.param.name; });

TEST(Stage, WholeStageFitsTheTriangleBudget)
{
    unsigned total = 0;
    for (const StageEntry& entry : stageEntries) {
        Assimp::Importer importer;
        const aiScene* scene = importer.ReadFile(hostPath(entry.modelPath), importFlags);
        ASSERT_NE(scene, nullptr) << entry.name;
        total += scene->mMeshes[0]->mNumFaces;
    }
    EXPECT_LE(total, 60000u);
}

}  // namespace
