// The shader program loader: the source text it hands to GL, its six console lines and the ids
// it returns for good and broken sources.
#include "assets/shader_program.h"
#include "support/gl_context.h"
#include "support/process.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

namespace {

TEST(ShaderSource, EachLineIsPrecededByANewlineAndTheLastHasNone)
{
    const std::string dir = makeTempDir("lumarq-shader");
    writeFile(dir + "/two", "a\nb");
    writeFile(dir + "/trailing", "a\nb\n");
    writeFile(dir + "/crlf", "a\r\nb\r\n");
    writeFile(dir + "/empty", "");
    EXPECT_EQ(readShaderSource(dir + "/two"), "\na\nb");
    EXPECT_EQ(readShaderSource(dir + "/trailing"), "\na\nb");
    EXPECT_EQ(readShaderSource(dir + "/empty"), "");
    EXPECT_EQ(readShaderSource(dir + "/missing"), "");
    // A carriage return stays part of its line; GLSL treats it as white space.
    EXPECT_EQ(readShaderSource(dir + "/crlf"), "\na\r\nb\r");
}

// Runs the loader with the working directory holding a shader/ folder of our own.
struct LoaderRun {
    GLuint program = 0;
    std::string out;
};

LoaderRun loadFrom(const std::string& dir, const char* vertex, const char* fragment)
{
    char previous[4096];
    EXPECT_NE(getcwd(previous, sizeof previous), nullptr);
    EXPECT_EQ(chdir(dir.c_str()), 0);
    testing::internal::CaptureStdout();
    LoaderRun run;
    run.program = loadShaderProgram(vertex, fragment);
    run.out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(chdir(previous), 0);
    return run;
}

class ShaderProgramLoader : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(testGlWindow(), nullptr) << "no X display: run the tests under xvfb-run";
        dir = makeTempDir("lumarq-shaders");
        ASSERT_EQ(system(("mkdir -p " + dir + "/shader").c_str()), 0);
        writeFile(dir + "/shader/Plain.vertexshader",
                  "#version 330 core\nlayout(location = 0) in vec3 position;\nuniform mat4 MVP;\n"
                  "void main() { gl_Position = MVP * vec4(position, 1.0); }\n");
        writeFile(dir + "/shader/Plain.fragmentshader",
                  "#version 330 core\nout vec4 color;\nvoid main() { color = vec4(1.0); }\n");
        writeFile(dir + "/shader/Broken.fragmentshader", "#version 330 core\nvoid main() { this is not glsl }\n");
    }
    std::string dir;
};

TEST_F(ShaderProgramLoader, AGoodPairLinksAndPrintsSixLinesWithTheBareNames)
{
    LoaderRun run = loadFrom(dir, "Plain.vertexshader", "Plain.fragmentshader");
    ASSERT_NE(run.program, 0u);
    GLint linked = GL_FALSE;
    glGetProgramiv(run.program, GL_LINK_STATUS, &linked);
    EXPECT_EQ(linked, GL_TRUE);
    EXPECT_GE(glGetUniformLocation(run.program, "MVP"), 0);
    // Mesa's logs are empty for good sources, so each prints as an empty line.
    EXPECT_EQ(run.out, "Compiling shader : Plain.vertexshader\n\n"
                       "Compiling shader : Plain.fragmentshader\n\n"
                       "Linking program\n\n");
    // The shaders were flagged for deletion and go with the program.
    GLint attached = 0;
    glGetProgramiv(run.program, GL_ATTACHED_SHADERS, &attached);
    EXPECT_EQ(attached, 2);
    glDeleteProgram(run.program);
}

TEST_F(ShaderProgramLoader, AMissingFragmentFileStillGivesAProgramIdAndPrintsTheLogs)
{
    LoaderRun run = loadFrom(dir, "Plain.vertexshader", "Absent.fragmentshader");
    EXPECT_NE(run.program, 0u);
    GLint linked = GL_TRUE;
    glGetProgramiv(run.program, GL_LINK_STATUS, &linked);
    EXPECT_EQ(linked, GL_FALSE);
    const std::string::size_type fragment = run.out.find("Compiling shader : Absent.fragmentshader\n");
    const std::string::size_type linking = run.out.find("Linking program\n");
    ASSERT_NE(fragment, std::string::npos) << run.out;
    ASSERT_NE(linking, std::string::npos) << run.out;
    // Both the fragment compile log and the link log say something.
    const std::string fragmentLog = run.out.substr(fragment + 41, linking - fragment - 41);
    EXPECT_GT(fragmentLog.size(), 1u) << run.out;
    EXPECT_GT(run.out.size() - linking - 16, 1u) << run.out;
    EXPECT_EQ(run.out.find("shader/"), std::string::npos) << "prints the bare names only: " << run.out;
    glDeleteProgram(run.program);
}

TEST_F(ShaderProgramLoader, ASyntaxErrorIsReportedThroughTheLogAndTheIdReturned)
{
    LoaderRun run = loadFrom(dir, "Plain.vertexshader", "Broken.fragmentshader");
    EXPECT_NE(run.program, 0u);
    EXPECT_NE(run.out.find("error"), std::string::npos) << run.out;
    glDeleteProgram(run.program);
}

}  // namespace
