// The start-up checkpoint lines and the entry points resolved for the current context.
#include "gl/gl_entry_points.h"
#include "support/gl_context.h"

#include <gtest/gtest.h>

namespace {

std::string checkpoint(const char* label)
{
    testing::internal::CaptureStdout();
    glErrorCheckpoint(label);
    return testing::internal::GetCapturedStdout();
}

TEST(GlEntryPoints, CheckpointsPrintTheLabelAndOnePendingErrorAtATime)
{
    ASSERT_NE(testGlWindow(), nullptr) << "no X display: run the tests under xvfb-run";
    EXPECT_EQ(checkpoint("END GLFW SETUP"), "END GLFW SETUP: 0\n");
    EXPECT_EQ(checkpoint("END CREATE ENGINE"), "END CREATE ENGINE: 0\n");

    glEnable(0xFFFF);  // invalid enumerant
    EXPECT_EQ(checkpoint("AFTER BAD ENABLE"), "AFTER BAD ENABLE: 1280\n");
    EXPECT_EQ(checkpoint("NEXT"), "NEXT: 0\n");
}

TEST(GlEntryPoints, TheFunctionsTheDemoCallsAreResolved)
{
    ASSERT_NE(testGlWindow(), nullptr);
    // A sample across the groups the demo uses: framebuffers, buffers, vertex arrays, shaders, uniforms.
    EXPECT_NE(glGenFramebuffers, nullptr);
    EXPECT_NE(glFramebufferTexture, nullptr);
    EXPECT_NE(glGenerateMipmap, nullptr);
    EXPECT_NE(glGenVertexArrays, nullptr);
    EXPECT_NE(glVertexAttribPointer, nullptr);
    EXPECT_NE(glCreateShader, nullptr);
    EXPECT_NE(glUniformMatrix3fv, nullptr);
    EXPECT_NE(glUniformMatrix4fv, nullptr);
}

}  // namespace
