// The preview's window driven through its transport: a seek shows the capture's picture in every
// style, pause holds the show, the loop returns to its start mark, and a live shader reload keeps
// the old program when the new one is broken and takes a fixed one with its uniforms right.
#include "app/scene.h"
#include "preview_options.h"
#include "preview_session.h"
#include "preview_title.h"
#include "show_style.h"
#include "support/picture.h"
#include "support/process.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <utility>

namespace {

const std::string runDir = LUMARQ_RUN_DIR;

// Stills of the capture at show times, made in `workDir` (which holds shader/ and models/).
std::string captureStills(const std::string& workDir, const std::string& times, const std::string& size = "160x90")
{
    const std::string out = makeTempDir("lumarq-preview-capture");
    ProcessOptions options;
    options.workingDirectory = workDir;
    options.timeoutSeconds = 240;
    const ProcessResult result =
        runProcess({runDir + "/lumarq-capture", "--at", times, "--size", size, "--out", out}, options);
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    return out;
}

// The frame the preview shows next. With LUMARQ_SNAPSHOT_DIR set, it is kept there to be looked at.
Picture nextFrame(PreviewSession& session, const std::string& name = "")
{
    Image image;
    previewFrame(session, &image);
    if (const char* dir = std::getenv("LUMARQ_SNAPSHOT_DIR"); dir != nullptr && !name.empty()) {
        writePng(std::string(dir) + "/preview-" + name + ".png", image);
    }
    return {image.width, image.height, image.rgb};
}

std::unique_ptr<PreviewSession> openPreview(int fromMs, const std::string& shaders = "")
{
    setenv("ALSOFT_DRIVERS", "null", 1);
    PreviewOptions options;
    options.width = 160;
    options.height = 90;
    options.fromMs = fromMs;
    options.shaderSourceDir = shaders;
    auto session = std::make_unique<PreviewSession>();
    if (!openPreviewSession(*session, options)) {
        ADD_FAILURE() << "the preview did not open: no X display?";
        closePreviewSession(*session);
        return nullptr;
    }
    return session;
}

// The capture's stills at 160x90 that the preview must match, made once for the suite.
class PreviewWindow : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        stills = captureStills(runDir, "5000,10600,19000,20000,35500,60000");
    }
    static Picture still(int ms)
    {
        return loadPicture(stills + "/frame-" + std::to_string(ms) + ".png");
    }
    static std::string stills;
};
std::string PreviewWindow::stills;

TEST_F(PreviewWindow, ASeekWhilePausedShowsTheCapturesPictureInEveryStyle)
{
    ASSERT_EQ(chdir(runDir.c_str()), 0);
    std::unique_ptr<PreviewSession> session = openPreview(0);
    ASSERT_NE(session, nullptr);
    pausePreview(*session);
    // Bump, toon with a hop in the air, shadow, toon between segments: visited out of order, so
    // seeks go backwards as well as forwards.
    for (int ms : {60000, 10600, 35500, 20000}) {
        seekPreview(*session, ms);
        EXPECT_EQ(differingShare(nextFrame(*session, "seek-" + std::to_string(ms)), still(ms)), 0.0)
            << "at " << ms << " ms";
    }
    EXPECT_EQ(currentShowStyle(*session->show.scene), ShowStyle::toon);

    // A window made wider shows the capture's picture at that size: the projection follows.
    const Picture wide = loadPicture(captureStills(runDir, "35500", "240x90") + "/frame-35500.png");
    glfwSetWindowSize(session->show.window, 240, 90);
    for (int frame = 0; frame < 50 && session->show.scene->renderer.viewportWidth != 240; ++frame) {
        glfwWaitEventsTimeout(0.02);
        previewFrame(*session);
    }
    seekPreview(*session, 35500.0);
    EXPECT_EQ(differingShare(nextFrame(*session, "resized-35500"), wide), 0.0);

    // The longest seek: to the end of the show, stepped from its start.
    seekPreview(*session, 88500.0);
    RecordProperty("seek_to_end_ms", std::to_string(session->lastSeekMs));
    printf("seek to the end of the show: %.1f ms\n", session->lastSeekMs);
    EXPECT_LT(session->lastSeekMs, 1000.0);
    EXPECT_EQ(currentShowStyle(*session->show.scene), ShowStyle::bump);
    closePreviewSession(*session);
}

TEST_F(PreviewWindow, PauseHoldsTheShowAndTheLoopComesBackToItsStartMark)
{
    const Picture loopStart = still(5000);
    ASSERT_EQ(chdir(runDir.c_str()), 0);
    std::unique_ptr<PreviewSession> session = openPreview(5000);
    ASSERT_NE(session, nullptr);
    Transport& transport = session->transport;

    pausePreview(*session);
    runPreviewCommand(*session, PreviewCommand::markLoopStart);
    seekPreview(*session, 5300.0);
    runPreviewCommand(*session, PreviewCommand::markLoopEnd);
    const std::string title = previewTitle(transport, *session->show.scene, 60.0);
    EXPECT_NE(title.find("5300 ms | segment 1 | toon | loop 5000-5300 ms | paused"), std::string::npos) << title;

    // Played for a second, the show goes round the 300 ms loop several times; each time round
    // it starts at the mark with the picture the capture has there.
    seekPreview(*session, 5000.0);
    resumePreview(*session);
    int jumps = 0;
    double previous = transport.showMs;
    const double until = previewWallMs() + 1000.0;
    while (previewWallMs() < until) {
        const Picture shown = nextFrame(*session);
        EXPECT_GE(transport.showMs, 5000.0);
        EXPECT_LE(transport.showMs, 5300.0);
        if (transport.showMs < previous) {
            ++jumps;
            EXPECT_DOUBLE_EQ(transport.showMs, 5000.0);
            EXPECT_EQ(differingShare(shown, loopStart), 0.0) << "after loop jump " << jumps;
        }
        previous = transport.showMs;
    }
    EXPECT_GE(jumps, 2);

    pausePreview(*session);
    const Picture held = nextFrame(*session);
    const double pausedAt = transport.showMs;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(differingShare(held, nextFrame(*session)), 0.0);
    EXPECT_DOUBLE_EQ(transport.showMs, pausedAt);

    // A frame step moves one sixtieth of a second on.
    runPreviewCommand(*session, PreviewCommand::frameForward);
    previewFrame(*session);
    EXPECT_NEAR(transport.showMs, pausedAt + 1000.0 / 60.0, 1e-9);

    // Sent to the very end while playing, the track has nothing left to play: no error line,
    // and the show does not follow music that is not sounding.
    resumePreview(*session);
    testing::internal::CaptureStdout();
    seekPreview(*session, showEndMs);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed.find("FMOD error!"), std::string::npos) << printed;
    EXPECT_FALSE(session->musicClock.playing);
    closePreviewSession(*session);
}

TEST_F(PreviewWindow, StepsAndSeeksThereAndBackReturnToTheSameTimeAndPicture)
{
    ASSERT_EQ(chdir(runDir.c_str()), 0);
    std::unique_ptr<PreviewSession> session = openPreview(20000);
    ASSERT_NE(session, nullptr);
    Transport& transport = session->transport;
    pausePreview(*session);
    seekPreview(*session, 20000.0);
    const Picture start = nextFrame(*session, "symmetry-start");
    ASSERT_EQ(differingShare(start, still(20000)), 0.0);

    // One frame on and one back; then each pair of seeks.
    runPreviewCommand(*session, PreviewCommand::frameForward);
    const Picture stepped = nextFrame(*session);
    EXPECT_EQ(transport.showMs, 20000.0 + toolFrameMs);
    runPreviewCommand(*session, PreviewCommand::frameBack);
    EXPECT_EQ(transport.showMs, 20000.0) << "a step back moves exactly one frame";
    EXPECT_EQ(differingShare(nextFrame(*session, "symmetry-stepped-back"), start), 0.0);
    EXPECT_GT(differingShare(stepped, start), 0.0) << "the camera moves between the two frames";
    for (auto [there, back] : {std::pair{PreviewCommand::forward1s, PreviewCommand::back1s},
                               std::pair{PreviewCommand::forward10s, PreviewCommand::back10s}}) {
        runPreviewCommand(*session, there);
        nextFrame(*session);
        runPreviewCommand(*session, back);
        EXPECT_EQ(transport.showMs, 20000.0);
        EXPECT_EQ(differingShare(nextFrame(*session), start), 0.0);
    }

    // Sixty frames back are one second at 60 frames a second, and sixty forward lead back again:
    // to the capture's pictures of those times, which it steps at the same rate.
    for (int frame = 0; frame < 60; ++frame) {
        runPreviewCommand(*session, PreviewCommand::frameBack);
        nextFrame(*session);
    }
    EXPECT_EQ(transport.showMs, 19000.0);
    EXPECT_EQ(differingShare(nextFrame(*session, "symmetry-60-back"), still(19000)), 0.0);
    for (int frame = 0; frame < 60; ++frame) {
        runPreviewCommand(*session, PreviewCommand::frameForward);
        nextFrame(*session);
    }
    EXPECT_EQ(transport.showMs, 20000.0);
    EXPECT_EQ(differingShare(nextFrame(*session, "symmetry-60-forward"), still(20000)), 0.0);
    closePreviewSession(*session);
}

// The toon bands in reverse order, with a uniform declared ahead of the others so that their
// locations move in the rebuilt program; through the shared part, as the sources are written.
const char* const reversedToon = R"(uniform vec3 tint;
#include "light.glsl"
in vec3 Normal_worldspace;
uniform mat3 toonColor;
out vec3 color;
void main()
{
    float cosTheta = dot(normalize(Normal_worldspace), towardLight());
    color = (cosTheta > 0.55 ? toonColor[2] : cosTheta > 0.08 ? toonColor[1] : toonColor[0]) + tint;
}
)";

// Saves `source` as the edited Toon fragment shader and looks for changed files as the preview
// does; returns how many programs came in, and what it printed.
int saveToon(PreviewSession& session, const std::string& path, const std::string& source,
             std::string* out = nullptr, std::string* err = nullptr)
{
    writeFile(path, source);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int rebuilt = rebuildChangedPrograms(session.shaders, *session.show.scene);
    const std::string printed = testing::internal::GetCapturedStdout();
    const std::string complained = testing::internal::GetCapturedStderr();
    if (out != nullptr) {
        *out = printed;
        *err = complained;
    }
    return rebuilt;
}

TEST_F(PreviewWindow, ABrokenShaderKeepsThePictureAndAFixedOneTakesEffectWithItsUniforms)
{
    // A run folder of its own, without the music, and with the shader sources edited in a folder
    // beside it; the Toon fragment shader is broken from the start, as the demo would meet it.
    const std::string dir = makeTempDir("lumarq-preview-shaders");
    ASSERT_TRUE(copyTree(runDir + "/shader", dir + "/shader"));
    ASSERT_TRUE(copyTree(std::string(LUMARQ_SOURCE_DIR) + "/shader", dir + "/edited"));
    std::filesystem::create_directory_symlink(runDir + "/models", dir + "/models");
    const std::string toon = dir + "/edited/Toon.fragmentshader";
    const std::string goodToon = readFile(toon);
    const std::string brokenToon = "void main() { color = ; }\n";
    writeFile(toon, brokenToon);
    const Picture original = still(20000);
    ASSERT_EQ(chdir(dir.c_str()), 0);

    testing::internal::CaptureStdout();
    std::unique_ptr<PreviewSession> session = openPreview(20000, dir + "/edited");
    const std::string output = testing::internal::GetCapturedStdout();
    ASSERT_NE(session, nullptr);
    EXPECT_NE(output.find("FMOD error! ("), std::string::npos) << "the missing music is reported";
    EXPECT_NE(output.find("Compiling shader : Toon.fragmentshader\n0:"), std::string::npos)
        << "the broken shader's log is printed at start-up, as in the demo:\n"
        << output;
    EXPECT_EQ(readFile(dir + "/shader/Toon.fragmentshader"), "#version 330 core\n" + brokenToon)
        << "shader/ is made from the edited folder";
    pausePreview(*session);
    EXPECT_GT(differingShare(nextFrame(*session, "reload-broken-at-start"), original), 0.05)
        << "without its toon program the stage is not drawn";

    // Fixed, the program comes in and the picture is the show's.
    EXPECT_EQ(saveToon(*session, toon, goodToon), 1);
    const Picture good = nextFrame(*session, "reload-fixed");
    EXPECT_EQ(differingShare(good, original), 0.0);

    // Broken again, the previous program stays and says why.
    std::string log;
    std::string complaint;
    EXPECT_EQ(saveToon(*session, toon, brokenToon, &log, &complaint), 0);
    EXPECT_NE(log.find("Compiling shader : Toon.fragmentshader"), std::string::npos) << log;
    EXPECT_NE(complaint.find("the Toon program did not build"), std::string::npos) << complaint;
    EXPECT_EQ(differingShare(good, nextFrame(*session)), 0.0)
        << "a broken shader must leave the old program in use";

    // A different shader whose uniforms sit elsewhere: drawn as the capture draws it from the
    // same files.
    EXPECT_EQ(saveToon(*session, toon, reversedToon), 1);
    const Picture reversed = nextFrame(*session, "reload-reversed");
    EXPECT_GT(differingShare(good, reversed), 0.05) << "the new shader must show";
    EXPECT_EQ(differingShare(reversed, loadPicture(captureStills(dir, "20000") + "/frame-20000.png")), 0.0);
    // A seek sets the show back to its start and steps it again: with the rebuilt program.
    seekPreview(*session, 20000.0);
    EXPECT_EQ(differingShare(reversed, nextFrame(*session)), 0.0);
    // Nothing changed since: no further rebuild.
    EXPECT_EQ(rebuildChangedPrograms(session->shaders, *session->show.scene), 0);
    closePreviewSession(*session);
}

}  // namespace
