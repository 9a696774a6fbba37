// Model loader: what it uploads and prints for OBJ fixtures imported with the demo's flags, and
// the inputs outside the import contract (few materials, short faces, no normals on the bump
// path, zero UV determinant, no meshes).
#include "assets/fixture_meshes.h"
#include "assets/scene_object.h"
#include "support/gl_context.h"
#include "support/process.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

template <typename T>
std::vector<T> readBuffer(GLuint buffer)
{
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    GLint bytes = 0;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &bytes);
    std::vector<T> data(static_cast<size_t>(bytes) / sizeof(T));
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(data.size() * sizeof(T)), data.data());
    return data;
}

GLint bufferBytes(GLuint buffer)
{
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    GLint bytes = 0;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &bytes);
    return bytes;
}

// The first texel of level 0.
std::vector<unsigned char> texel(GLuint texture)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    std::vector<unsigned char> all(static_cast<size_t>(w) * h * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, all.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    all.resize(4);
    return all;
}

// One triangle in the z = 0 plane with the worked UVs, written with normal n.
FixtureMesh workedTriangle(glm::vec3 n, glm::vec2 thirdUv = {0, 1})
{
    FixtureMesh mesh;
    addCorner(mesh, {0, 0, 0}, n, {0, 0});
    addCorner(mesh, {1, 0, 0}, n, {1, 0});
    addCorner(mesh, {0, 1, 0}, n, thirdUv);
    return mesh;
}

class ModelLoader : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(testGlWindow(), nullptr) << "no X display or GL context";
        dir = makeTempDir("lumarq-model");
        colourPath = dir + "/colour.png";
        normalMapPath = dir + "/normal.png";
        ASSERT_TRUE(writePng(colourPath, 2, 2, [](unsigned, unsigned) { return glm::u8vec4(20, 140, 60, 255); }));
        ASSERT_TRUE(
            writePng(normalMapPath, 2, 2, [](unsigned, unsigned) { return glm::u8vec4(128, 128, 255, 255); }));
    }

    // Writes the model (and its material when `colour` or `normalMap` is set) and imports it.
    const aiScene* import(const std::string& name, const std::string& obj, const std::string& colour,
                          const std::string& normalMap)
    {
        writeFile(dir + "/" + name + ".mtl", mtlText(colour, normalMap));
        writeFile(dir + "/" + name + ".obj", obj);
        const aiScene* scene = importer.ReadFile(dir + "/" + name + ".obj", fixtureImportFlags);
        EXPECT_NE(scene, nullptr) << importer.GetErrorString();
        return scene;
    }

    SceneObject load(const aiScene* scene, bool bump, std::string& printed)
    {
        testing::internal::CaptureStdout();
        SceneObject object(scene, 0, 1, 2, bump);
        printed = testing::internal::GetCapturedStdout();
        return object;
    }

    Assimp::Importer importer;
    std::string dir, colourPath, normalMapPath;
};

}  // namespace

TEST_F(ModelLoader, UploadsTheMeshStoresFileVAndPrintsTheTextureLines)
{
    FixtureMesh mesh = boxMesh({0.5f, 0.5f, 0.5f});
    mesh.uvs[1] = {0.6f, 0.75f};  // the file's V
    const aiScene* scene = import("box", objText(mesh, "box.mtl"), colourPath, normalMapPath);
    ASSERT_NE(scene, nullptr);
    ASSERT_NEAR(scene->mMeshes[0]->mTextureCoords[0][1].y, 0.25f, 1e-6f) << "the import flips V";

    std::string printed;
    const SceneObject object = load(scene, false, printed);
    EXPECT_EQ(printed, "tangents: 0\n" + colourPath + "\n" + normalMapPath + "\nLOAD: " + normalMapPath + "\n");

    const unsigned n = object.mesh->mNumVertices;
    EXPECT_EQ(object.mesh, scene->mMeshes[0]);
    EXPECT_EQ(n, 36u);
    EXPECT_NE(object.vertexArray, 0u);
    GLint boundArray = 0;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &boundArray);
    EXPECT_EQ(static_cast<GLuint>(boundArray), object.vertexArray);

    const std::vector<glm::vec2> uvs = readBuffer<glm::vec2>(object.uvBuffer);
    ASSERT_EQ(uvs.size(), n);
    EXPECT_NEAR(uvs[1].x, 0.6f, 1e-6f);
    EXPECT_NEAR(uvs[1].y, 0.75f, 1e-6f);
    EXPECT_EQ(bufferBytes(object.positionBuffer), static_cast<GLint>(12 * n));
    EXPECT_EQ(bufferBytes(object.normalBuffer), static_cast<GLint>(12 * n));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(object.vertexArray);
    GLint indexBytes = 0;
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, object.indexBuffer);
    glGetBufferParameteriv(GL_ELEMENT_ARRAY_BUFFER, GL_BUFFER_SIZE, &indexBytes);
    EXPECT_EQ(indexBytes, static_cast<GLint>(12 * object.mesh->mNumFaces));

    EXPECT_EQ(object.tangentBuffer, 0u);
    EXPECT_EQ(object.bitangentBuffer, 0u);
    EXPECT_EQ(texel(object.diffuseTexture), (std::vector<unsigned char>{20, 140, 60, 255}));
    EXPECT_EQ(texel(object.bumpTexture), (std::vector<unsigned char>{128, 128, 255, 255}));
    EXPECT_EQ(object.model, glm::mat4(1.0f));
    EXPECT_EQ(object.toonColor, glm::mat3(1.0f));
    EXPECT_EQ(object.position, glm::vec3(0.0f));
    EXPECT_EQ(object.positionAttrib, 0u);
    EXPECT_EQ(object.normalAttrib, 1u);
    EXPECT_EQ(object.uvAttrib, 2u);
    EXPECT_EQ(object.tangentAttrib, 3u);
    EXPECT_EQ(object.bitangentAttrib, 4u);
    EXPECT_EQ(object.program, 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ModelLoader, BumpPathUploadsTheWorkedTangents)
{
    for (float nz : {1.0f, -1.0f}) {
        SCOPED_TRACE(nz);
        const aiScene* scene =
            import("triangle", objText(workedTriangle({0, 0, nz}), "triangle.mtl"), colourPath, normalMapPath);
        ASSERT_NE(scene, nullptr);
        std::string printed;
        const SceneObject object = load(scene, true, printed);
        const std::vector<glm::vec3> tangents = readBuffer<glm::vec3>(object.tangentBuffer);
        const std::vector<glm::vec3> bitangents = readBuffer<glm::vec3>(object.bitangentBuffer);
        ASSERT_EQ(tangents.size(), 3u);
        ASSERT_EQ(bitangents.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(tangents[i].x, nz, 1e-6f);  // flipped with the normal
            EXPECT_NEAR(tangents[i].y, 0.0f, 1e-6f);
            EXPECT_NEAR(bitangents[i].y, 1.0f, 1e-6f);
        }
        EXPECT_NE(object.uvBuffer, 0u);
    }
}

TEST_F(ModelLoader, WithoutTextureCoordinatesThereAreNoTexturesUvsOrTangents)
{
    const aiScene* scene =
        import("bare", objText(boxMesh({1, 1, 1}), "bare.mtl", false), colourPath, normalMapPath);
    ASSERT_NE(scene, nullptr);
    std::string printed;
    const SceneObject object = load(scene, true, printed);
    EXPECT_EQ(printed, "tangents: 0\n");
    EXPECT_NE(object.positionBuffer, 0u);
    EXPECT_NE(object.normalBuffer, 0u);
    EXPECT_EQ(object.uvBuffer, 0u);
    EXPECT_EQ(object.diffuseTexture, 0u);
    EXPECT_EQ(object.bumpTexture, 0u);
    EXPECT_EQ(object.tangentBuffer, 0u);
    EXPECT_EQ(object.bitangentBuffer, 0u);
}

TEST_F(ModelLoader, WithoutOpacityMapThereIsNoBumpTexture)
{
    const aiScene* scene = import("plain", objText(boxMesh({1, 1, 1}), "plain.mtl"), colourPath, "");
    ASSERT_NE(scene, nullptr);
    std::string printed;
    const SceneObject object = load(scene, false, printed);
    EXPECT_EQ(printed, "tangents: 0\n" + colourPath + "\n\n");
    EXPECT_NE(object.diffuseTexture, 0u);
    EXPECT_EQ(object.bumpTexture, 0u);
}

TEST_F(ModelLoader, OnlyTheFirstOfTwoMeshesIsLoaded)
{
    const std::string first = objText(workedTriangle({0, 0, 1}), "two.mtl");
    FixtureMesh box = boxMesh({1, 1, 1});
    // The second object's faces refer to its own vertices, numbered after the first's three.
    std::string second = "o second\nusemtl surface\n";
    for (const glm::vec3& p : box.positions) {
        second += "v " + std::to_string(p.x) + " " + std::to_string(p.y) + " " + std::to_string(p.z + 5) + "\n";
    }
    for (size_t k = 4; k + 2 <= box.positions.size() + 3; k += 3) {
        second += "f " + std::to_string(k) + " " + std::to_string(k + 1) + " " + std::to_string(k + 2) + "\n";
    }
    const aiScene* scene = import("two", "o first\n" + first + second, colourPath, "");
    ASSERT_NE(scene, nullptr);
    ASSERT_EQ(scene->mNumMeshes, 2u);
    std::string printed;
    const SceneObject object = load(scene, false, printed);
    EXPECT_EQ(object.mesh, scene->mMeshes[0]);
    EXPECT_EQ(bufferBytes(object.positionBuffer), 12 * 3);
    EXPECT_EQ(readBuffer<glm::vec2>(object.uvBuffer).size(), 3u);
}

TEST_F(ModelLoader, ZeroUvDeterminantGivesFiniteTangentsOnTheBumpPath)
{
    FixtureMesh mesh = workedTriangle({0, 0, 1}, {0.5f, 0});  // collinear UVs
    mesh.uvs = {{0.5f, 0.5f}, {0.5f, 0.5f}, {0.5f, 0.5f}};
    const aiScene* scene = import("flat", objText(mesh, "flat.mtl"), colourPath, normalMapPath);
    ASSERT_NE(scene, nullptr);
    std::string printed;
    const SceneObject object = load(scene, true, printed);
    for (const glm::vec3& t : readBuffer<glm::vec3>(object.tangentBuffer)) {
        ASSERT_TRUE(std::isfinite(t.x) && std::isfinite(t.y) && std::isfinite(t.z));
        EXPECT_NEAR(glm::length(t), 1.0f, 1e-5f);
        EXPECT_NEAR(t.z, 0.0f, 1e-5f) << "perpendicular to the normal";
    }
    for (const glm::vec3& b : readBuffer<glm::vec3>(object.bitangentBuffer)) {
        ASSERT_TRUE(std::isfinite(b.x) && std::isfinite(b.y) && std::isfinite(b.z));
    }
}

// Scenes built by hand for the inputs that the OBJ importer never produces.
namespace {

aiMaterial* materialWithColour(const std::string& path)
{
    auto* material = new aiMaterial();
    aiString text(path);
    material->AddProperty(&text, AI_MATKEY_TEXTURE_DIFFUSE(0));
    return material;
}

// A mesh of `count` vertices with UVs (u = index / 10), and optional normals; no faces yet.
aiMesh* handMesh(unsigned count, bool withNormals)
{
    auto* mesh = new aiMesh();
    mesh->mNumVertices = count;
    mesh->mVertices = new aiVector3D[count];
    mesh->mTextureCoords[0] = new aiVector3D[count];
    mesh->mNumUVComponents[0] = 2;
    for (unsigned i = 0; i < count; ++i) {
        mesh->mVertices[i] = aiVector3D(static_cast<float>(i % 2), static_cast<float>(i / 2), 0);
        mesh->mTextureCoords[0][i] = aiVector3D(static_cast<float>(i) / 10.0f, 0.0f, 0.0f);
    }
    if (withNormals) {
        mesh->mNormals = new aiVector3D[count];
        for (unsigned i = 0; i < count; ++i) {
            mesh->mNormals[i] = aiVector3D(0, 0, 1);
        }
    }
    return mesh;
}

void setFaces(aiMesh* mesh, const std::vector<std::vector<unsigned>>& faces)
{
    mesh->mNumFaces = static_cast<unsigned>(faces.size());
    mesh->mFaces = new aiFace[faces.size()];
    for (size_t f = 0; f < faces.size(); ++f) {
        mesh->mFaces[f].mNumIndices = static_cast<unsigned>(faces[f].size());
        mesh->mFaces[f].mIndices = new unsigned[faces[f].size()];
        std::copy(faces[f].begin(), faces[f].end(), mesh->mFaces[f].mIndices);
    }
}

std::unique_ptr<aiScene> handScene(aiMesh* mesh, std::vector<aiMaterial*> materials)
{
    auto scene = std::make_unique<aiScene>();
    scene->mNumMeshes = 1;
    scene->mMeshes = new aiMesh* [1] { mesh };
    scene->mNumMaterials = static_cast<unsigned>(materials.size());
    if (!materials.empty()) {
        scene->mMaterials = new aiMaterial*[materials.size()];
        std::copy(materials.begin(), materials.end(), scene->mMaterials);
    }
    return scene;
}

}  // namespace

TEST_F(ModelLoader, FewerThanTwoMaterialsUseTheMeshsOwnMaterial)
{
    aiMesh* mesh = handMesh(3, true);
    setFaces(mesh, {{0, 1, 2}});
    mesh->mMaterialIndex = 0;
    const auto scene = handScene(mesh, {materialWithColour(colourPath)});
    std::string printed;
    const SceneObject object = load(scene.get(), false, printed);
    EXPECT_EQ(printed, "tangents: 0\n" + colourPath + "\n\n");
    EXPECT_EQ(texel(object.diffuseTexture), (std::vector<unsigned char>{20, 140, 60, 255}));

    // A material index past the list, and no materials at all: no texture paths, nothing read.
    for (unsigned materials : {1u, 0u}) {
        aiMesh* orphan = handMesh(3, true);
        setFaces(orphan, {{0, 1, 2}});
        orphan->mMaterialIndex = 7;
        const auto orphanScene =
            handScene(orphan, materials == 1 ? std::vector<aiMaterial*>{materialWithColour(colourPath)}
                                             : std::vector<aiMaterial*>{});
        const SceneObject loaded = load(orphanScene.get(), false, printed);
        EXPECT_EQ(printed, "tangents: 0\n\n\ndecoder error 48: empty input or file doesn't exist\n");
        EXPECT_NE(loaded.diffuseTexture, 0u);
        EXPECT_NE(loaded.uvBuffer, 0u);
    }
}

TEST_F(ModelLoader, ShortFacesAreSkippedAndTheUvWalkStaysInsideTheMesh)
{
    // Five vertices: a triangle, a two-index face, and a face whose index lies past the mesh.
    aiMesh* mesh = handMesh(5, true);
    setFaces(mesh, {{0, 1, 2}, {3, 4}, {4, 99, 3}});
    const auto scene = handScene(mesh, {new aiMaterial(), materialWithColour(colourPath)});
    std::string printed;
    const SceneObject object = load(scene.get(), false, printed);

    glBindVertexArray(object.vertexArray);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, object.indexBuffer);
    GLint indexBytes = 0;
    glGetBufferParameteriv(GL_ELEMENT_ARRAY_BUFFER, GL_BUFFER_SIZE, &indexBytes);
    std::vector<unsigned> indices(static_cast<size_t>(indexBytes) / 4);
    glGetBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, indexBytes, indices.data());
    EXPECT_EQ(indices, (std::vector<unsigned>{0, 1, 2, 4, 99, 3}));

    // Corners in face order, the index 99 skipped, capped at the five vertices.
    const std::vector<glm::vec2> uvs = readBuffer<glm::vec2>(object.uvBuffer);
    ASSERT_EQ(uvs.size(), 5u);
    const float expectedU[5] = {0.0f, 0.1f, 0.2f, 0.3f, 0.4f};
    for (int k = 0; k < 5; ++k) {
        EXPECT_NEAR(uvs[k].x, expectedU[k], 1e-6f) << k;
        EXPECT_NEAR(uvs[k].y, 1.0f, 1e-6f) << k;
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ModelLoader, BumpPathWithoutNormalsBuildsNoTangents)
{
    aiMesh* mesh = handMesh(3, false);
    setFaces(mesh, {{0, 1, 2}});
    const auto scene = handScene(mesh, {new aiMaterial(), materialWithColour(colourPath)});
    std::string printed;
    const SceneObject object = load(scene.get(), true, printed);
    EXPECT_EQ(object.normalBuffer, 0u);
    EXPECT_EQ(object.tangentBuffer, 0u);
    EXPECT_EQ(object.bitangentBuffer, 0u);
    EXPECT_NE(object.uvBuffer, 0u);
    EXPECT_TRUE(object.useBumpMap);
}

TEST_F(ModelLoader, SceneWithoutMeshesLeavesAnEmptyObject)
{
    aiScene scene;
    std::string printed;
    const SceneObject object = load(&scene, true, printed);
    EXPECT_EQ(printed, "");
    EXPECT_EQ(object.mesh, nullptr);
    EXPECT_EQ(object.vertexArray, 0u);
    EXPECT_EQ(object.positionBuffer, 0u);
    EXPECT_EQ(object.diffuseTexture, 0u);
    EXPECT_EQ(object.model, glm::mat4(1.0f));
}
