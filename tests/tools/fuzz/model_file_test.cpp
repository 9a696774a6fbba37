// Model file reading against material libraries that crash Assimp 5.2 (found by fuzzing the model
// path): a texture statement before the first "newmtl" is refused with a reason instead of taking
// the process down, while everything the importer handles safely still loads.
#include "assets/model_file.h"
#include "support/process.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

constexpr unsigned importFlags = aiProcess_Triangulate | aiProcess_GenSmoothNormals | aiProcess_FlipUVs;
const std::string triangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 0 1\nf 1/1 2/2 3/3\n";

struct ModelFolder {
    std::string dir = makeTempDir("lumarq-model-file");
    ~ModelFolder()
    {
        std::filesystem::remove_all(dir);
    }
    std::string write(const std::string& name, const std::string& text) const
    {
        writeFile(dir + "/" + name, text);
        return dir + "/" + name;
    }
};

TEST(ModelFile, ATextureBeforeTheFirstNewmtlIsRefusedWithTheLibraryNamed)
{
    // The minimal input that fuzzing reduced the crash to, and the other texture statements that
    // take the same path in the importer.
    for (const char* statement :
         {"map_Kd t.png", "map_d t.png", "  bump t.png", "disp t.png", "norm t.png", "map_Kd -clamp on t.png\r"}) {
        SCOPED_TRACE(statement);
        ModelFolder folder;
        const std::string model = folder.write("m.obj", "mtllib m.mtl\n" + triangle);
        folder.write("m.mtl", "# made by hand\n\n" + std::string(statement) + "\nnewmtl late\nKd 1 1 1\n");
        Assimp::Importer importer;
        std::string failure;
        EXPECT_EQ(readModelFile(importer, model, importFlags, failure), nullptr);
        EXPECT_NE(failure.find(folder.dir + "/m.mtl"), std::string::npos) << failure;
        EXPECT_NE(failure.find("before its first newmtl"), std::string::npos) << failure;
    }
}

// The second crash that fuzzing found: the named library does not exist, so Assimp falls back to
// the one named after the model, which carries the texture line.
TEST(ModelFile, TheFallbackLibraryNamedAfterTheModelIsCheckedToo)
{
    ModelFolder folder;
    const std::string model = folder.write("m.obj", "mtllib elsewhere.mtd\nusemtl stage\n" + triangle);
    folder.write("m.mtl", "map_d t.png\nnewmtl stage\n");
    Assimp::Importer importer;
    std::string failure;
    EXPECT_EQ(readModelFile(importer, model, importFlags, failure), nullptr);
    EXPECT_NE(failure.find(folder.dir + "/m.mtl names a texture (map_d)"), std::string::npos) << failure;
}

TEST(ModelFile, SafeLibrariesAndMissingOnesStillLoad)
{
    const struct {
        const char* name;
        const char* library;  // null: the library file is absent
    } cases[] = {
        {"textures after newmtl", "newmtl stage\nmap_Kd t.png\nmap_d n.png\n"},
        {"colours before newmtl", "Kd 1 1 1\nNs 10\nnewmtl stage\nmap_Kd t.png\n"},
        {"a reflection map before newmtl", "refl t.png\nnewmtl stage\n"},
        {"no library file", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ModelFolder folder;
        const std::string model = folder.write("m.obj", "mtllib m.mtl\nusemtl stage\n" + triangle);
        if (c.library != nullptr) {
            folder.write("m.mtl", c.library);
        }
        Assimp::Importer importer;
        std::string failure;
        const aiScene* scene = readModelFile(importer, model, importFlags, failure);
        ASSERT_NE(scene, nullptr) << failure;
        EXPECT_TRUE(failure.empty()) << failure;
        EXPECT_EQ(scene->mNumMeshes, 1u);
    }
}

TEST(ModelFile, AnUnreadableModelReportsTheImportersReason)
{
    ModelFolder folder;
    Assimp::Importer importer;
    std::string failure;
    EXPECT_EQ(readModelFile(importer, folder.dir + "/absent.obj", importFlags, failure), nullptr);
    EXPECT_FALSE(failure.empty());
    EXPECT_EQ(failure, importer.GetErrorString());
}

}  // namespace
