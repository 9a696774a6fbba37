// The demo program as a whole: its start-up lines, the context version paths, Escape and the
// exit statuses. Each case starts the 1280x720 build in a private virtual X server.
#include "support/process.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string demo = std::string(LUMARQ_RUN_DIR) + "/lumarq-1280x720";
// Runs a command under its own virtual X server of the demo's display size.
const std::string withXvfb = std::string(LUMARQ_SOURCE_DIR) + "/tests/support/with-xvfb";

// Runs the demo under its own X server, waits until its frame loop has started, presses Escape and
// waits for it to end.
ProcessResult runDemoUntilEscape(std::vector<std::string> env, const std::string& runDir = LUMARQ_RUN_DIR)
{
    ProcessOptions options;
    options.workingDirectory = runDir;
    options.setEnv = env;
    options.setEnv.push_back("ALSOFT_DRIVERS=null");
    options.timeoutSeconds = 120;
    return runProcess(untilEscape({demo}), options);
}

TEST(Entry, WithoutADisplayGlfwFailsAndTheRunEndsWithMinusOne)
{
    ProcessOptions options;
    options.workingDirectory = LUMARQ_RUN_DIR;
    options.unsetEnv = {"DISPLAY", "WAYLAND_DISPLAY"};
    options.setEnv = {"ALSOFT_DRIVERS=null"};
    ProcessResult result = runProcess({demo}, options);
    EXPECT_EQ(result.exitStatus, 255);
    EXPECT_NE(result.err.find("Failed to initialize GLFW\n"), std::string::npos) << result.err;
    // The sound system and timeline were set up before GLFW, and the first checkpoint printed.
    EXPECT_NE(result.out.find("INIT: 0\n"), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("END GLFWINIT"), std::string::npos) << result.out;
}

TEST(Entry, StartsWithTheSixCheckpointsAndEndsOnEscapeWithStatusZero)
{
    ProcessResult result = runDemoUntilEscape({});
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    const char* checkpoints[] = {"INIT: 0\n",
                                 "END GLFWINIT: 0\n",
                                 "END GLFW SETUP: 0\n",
                                 "END CREATE ENGINE: 0\n",
                                 "END LOAD OBJECTS: 0\n",
                                 "END MOVE OBJECTS: 0\n"};
    std::string::size_type at = 0;
    for (const char* line : checkpoints) {
        std::string::size_type found = result.out.find(line, at);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << line << result.out;
        at = found;
    }
    // A 4.5 context is new enough: no complaint.
    EXPECT_EQ(result.err.find("OpenGL version 4.3 not supported"), std::string::npos) << result.err;
}

TEST(Entry, AFourOneContextComplainsInThreeLinesAndRunsOn)
{
    ProcessResult result = runDemoUntilEscape({"MESA_GL_VERSION_OVERRIDE=4.1"});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.err.find("Error: OpenGL version 4.3 not supported.\n"
                              "       Your version is 4.1.\n"
                              "       Try updating your graphics driver.\n"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(result.err.find("Failed to open GLFW window"), std::string::npos) << result.err;
    EXPECT_NE(result.out.find("END MOVE OBJECTS: 0\n"), std::string::npos) << result.out;
}

TEST(Entry, WhenFourOneCannotBeHadItRunsOnThreeThree)
{
    ProcessResult result = runDemoUntilEscape({"MESA_GL_VERSION_OVERRIDE=3.3"});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.err.find("Failed to open GLFW window OGL 4.1\n"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("Failed to open GLFW window OGL 3.3"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("Your version is 3.3.\n"), std::string::npos) << result.err;
    EXPECT_NE(result.out.find("END MOVE OBJECTS: 0\n"), std::string::npos) << result.out;
}

TEST(Entry, AMissingModelFileIsReportedAndEndsWithStatusOne)
{
    const std::string runCopy = makeTempDir("lumarq-run");
    ASSERT_TRUE(copyTree(LUMARQ_RUN_DIR, runCopy));
    ASSERT_EQ(std::remove((runCopy + "/models/ground.obj").c_str()), 0);

    ProcessOptions options;
    options.workingDirectory = runCopy;
    options.setEnv = {"ALSOFT_DRIVERS=null"};
    options.timeoutSeconds = 120;
    ProcessResult result = runProcess({withXvfb, runCopy + "/lumarq-1280x720"}, options);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.err.find("models/ground.obj"), std::string::npos) << result.err;
    // The third model is the ground: start-up got as far as the engine, not to the objects.
    EXPECT_NE(result.out.find("END CREATE ENGINE: 0\n"), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("END LOAD OBJECTS"), std::string::npos) << result.out;
}

}  // namespace
