// The shader files made from sources: both dialects from one text, with the shared parts and the
// light rig's numbers in place, and a clear failure for a part or a number that does not exist.
#include "render/light_rig.h"
#include "shader_build.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

const std::map<std::string, std::string> parts = {
    {"light.glsl", "const vec3 lightTarget = @lightTarget@;\n#include \"inner.glsl\"\n"},
    {"inner.glsl", "float inner() { return 1.0; }\n"},
};

bool readPart(const std::string& name, std::string& text)
{
    const auto found = parts.find(name);
    if (found == parts.end()) {
        return false;
    }
    text = found->second;
    return true;
}

const std::string source = "#extension GL_ARB_texture_gather : enable\n"
                           "// a stage\n"
                           "#include \"light.glsl\"\n"
                           "void main() {}\n";

TEST(ShaderBuild, BothDialectsComeFromOneSourceWithItsPartsAndTheRigsNumbers)
{
    ASSERT_EQ(lightTarget, glm::vec3(0.0f, 0.0f, -1.0f)) << "the expected text below spells the rig out";
    const std::string body = "// a stage\n"
                             "const vec3 lightTarget = vec3(0.0, 0.0, -1.0);\n"
                             "float inner() { return 1.0; }\n"
                             "void main() {}\n";
    std::string text;
    std::string error;
    ASSERT_TRUE(buildShaderText(source, ShaderDialect::desktop, readPart, text, error)) << error;
    EXPECT_EQ(text, "#version 330 core\n#extension GL_ARB_texture_gather : enable\n" + body);
    // GLSL ES: the version line first, the extensions before any other token, then the precisions.
    ASSERT_TRUE(buildShaderText(source, ShaderDialect::web, readPart, text, error)) << error;
    EXPECT_EQ(text, "#version 300 es\n#extension GL_ARB_texture_gather : enable\n"
                    "precision highp float;\nprecision highp int;\nprecision highp sampler2D;\n" +
                        body);
}

TEST(ShaderBuild, AMissingPartOrAnUnknownNumberFailsAndSaysWhich)
{
    std::string text;
    std::string error;
    EXPECT_FALSE(buildShaderText("#include \"lights.glsl\"\n", ShaderDialect::desktop, readPart, text, error));
    EXPECT_NE(error.find("lights.glsl"), std::string::npos) << error;
    EXPECT_FALSE(buildShaderText("vec3 t = @lightTargte@;\n", ShaderDialect::web, readPart, text, error));
    EXPECT_NE(error.find("@lightTargte@"), std::string::npos) << error;
}

}  // namespace
