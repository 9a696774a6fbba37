// The preview's window driven through its transport: a seek shows the capture's picture in every
// style, pause holds the show, the loop returns to its start mark, and a live shader reload keeps
// the old program when the new one is broken and takes a fixed one with its uniforms right.
#include "app/scene.h"
#include "preview_options.h"
#include "preview_session.h"
#include "preview_title.h"
#include "show_style.h"
#include "support/process.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>
#include <lodepng.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

const std::string runDir = LUMARQ_RUN_DIR;

// Stills of the capture at show times, made in `workDir` (which holds shader/ and models/).
std::string captureStills(const std::string& workDir, const std::string& times, int width, int height)
{
    const std::string out = makeTempDir("lumarq-preview-capture");
    ProcessOptions options;
    options.workingDirectory = workDir;
    options.timeoutSeconds = 240;
    const ProcessResult result = runProcess({runDir + "/lumarq-capture", "--at", times, "--size",
                                             std::to_string(width) + "x" + std::to_string(height), "--out", out},
                                            options);
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    return out;
}

Image loadStill(const std::string& path)
{
    Image image;
    unsigned width = 0;
    unsigned height = 0;
    EXPECT_EQ(lodepng::decode(image.rgb, width, height, path, LCT_RGB, 8), 0u) << path;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    return image;
}

// With LUMARQ_SNAPSHOT_DIR set, the pictures the preview showed are kept there to be looked at.
void keep(const Image& image, const std::string& name)
{
    if (const char* dir = std::getenv("LUMARQ_SNAPSHOT_DIR")) {
        writePng(std::string(dir) + "/preview-" + name + ".png", image);
    }
}

// Pixels whose colour differs at all; pictures of different sizes differ everywhere.
double differingFraction(const Image& a, const Image& b)
{
    if (a.rgb.size() != b.rgb.size() || a.rgb.empty()) {
        return 1.0;
    }
    size_t differing = 0;
    for (size_t i = 0; i < a.rgb.size(); i += 3) {
        differing += a.rgb[i] != b.rgb[i] || a.rgb[i + 1] != b.rgb[i + 1] || a.rgb[i + 2] != b.rgb[i + 2];
    }
    return static_cast<double>(differing) / static_cast<double>(a.rgb.size() / 3);
}

std::unique_ptr<PreviewSession> openPreview(int width, int height, int fromMs, const std::string& shaders = "")
{
    setenv("ALSOFT_DRIVERS", "null", 1);
    PreviewOptions options;
    options.width = width;
    options.height = height;
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

TEST(PreviewSession, ASeekWhilePausedShowsTheCapturesPictureInEveryStyle)
{
    // Toon with a hop in the air, toon between segments, shadow, bump; visited out of order, so
    // seeks go backwards as well as forwards.
    const std::vector<int> times = {60000, 10600, 35500, 20000};
    const std::string stills = captureStills(runDir, "10600,20000,35500,60000", 320, 180);
    ASSERT_EQ(chdir(runDir.c_str()), 0);
    std::unique_ptr<PreviewSession> session = openPreview(320, 180, 0);
    ASSERT_NE(session, nullptr);
    pausePreview(*session);
    for (int ms : times) {
        seekPreview(*session, ms);
        Image shown;
        previewFrame(*session, &shown);
        keep(shown, "seek-" + std::to_string(ms));
        const Image still = loadStill(stills + "/frame-" + std::to_string(ms) + ".png");
        EXPECT_EQ(differingFraction(shown, still), 0.0) << "at " << ms << " ms";
    }
    EXPECT_EQ(currentShowStyle(*session->show.scene), ShowStyle::toon);

    // A window made wider shows the capture's picture at that size: the projection follows.
    const Image wide = loadStill(captureStills(runDir, "35500", 400, 150) + "/frame-35500.png");
    glfwSetWindowSize(session->show.window, 400, 150);
    Image resized;
    for (int frame = 0; frame < 50 && resized.width != 400; ++frame) {
        glfwWaitEventsTimeout(0.02);
        previewFrame(*session, &resized);
    }
    seekPreview(*session, 35500.0);
    previewFrame(*session, &resized);
    keep(resized, "resized-35500");
    EXPECT_EQ(differingFraction(resized, wide), 0.0);

    // The longest seek: to the end of the show, stepped from its start.
    seekPreview(*session, 88500.0);
    RecordProperty("seek_to_end_ms", std::to_string(session->lastSeekMs));
    printf("seek to the end of the show: %.1f ms\n", session->lastSeekMs);
    EXPECT_LT(session->lastSeekMs, 1000.0);
    EXPECT_EQ(currentShowStyle(*session->show.scene), ShowStyle::bump);
    closePreviewSession(*session);
}

TEST(PreviewSession, PauseHoldsTheShowAndTheLoopComesBackToItsStartMark)
{
    const std::string stills = captureStills(runDir, "5000", 160, 90);
    const Image loopStart = loadStill(stills + "/frame-5000.png");
    ASSERT_EQ(chdir(runDir.c_str()), 0);
    std::unique_ptr<PreviewSession> session = openPreview(160, 90, 5000);
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
        Image shown;
        previewFrame(*session, &shown);
        EXPECT_GE(transport.showMs, 5000.0);
        EXPECT_LE(transport.showMs, 5300.0);
        if (transport.showMs < previous) {
            ++jumps;
            keep(shown, "loop-jump-" + std::to_string(jumps));
            EXPECT_DOUBLE_EQ(transport.showMs, 5000.0);
            EXPECT_EQ(differingFraction(shown, loopStart), 0.0) << "after loop jump " << jumps;
        }
        previous = transport.showMs;
    }
    EXPECT_GE(jumps, 2);

    pausePreview(*session);
    Image held;
    previewFrame(*session, &held);
    const double pausedAt = transport.showMs;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    Image later;
    previewFrame(*session, &later);
    EXPECT_DOUBLE_EQ(transport.showMs, pausedAt);
    EXPECT_EQ(differingFraction(held, later), 0.0);

    // A frame step moves one sixtieth of a second on.
    runPreviewCommand(*session, PreviewCommand::frameForward);
    previewFrame(*session);
    EXPECT_NEAR(transport.showMs, pausedAt + 1000.0 / 60.0, 1e-9);
    closePreviewSession(*session);
}

// The toon bands in reverse order, with a uniform declared ahead of the others so that their
// locations move in the rebuilt program.
const char* const reversedToon = R"(#version 330 core
uniform vec3 tint;
in vec3 Normal_worldspace;
uniform mat3 toonColor;
uniform vec3 LightInvDirection_worldspace;
out vec3 color;
void main()
{
    vec3 n = normalize(Normal_worldspace);
    float cosTheta = dot(n, normalize(LightInvDirection_worldspace - vec3(0.0, 0.0, -1.0)));
    color = (cosTheta > 0.55 ? toonColor[2] : cosTheta > 0.08 ? toonColor[1] : toonColor[0]) + tint;
}
)";

TEST(PreviewSession, ABrokenShaderKeepsThePictureAndAFixedOneTakesEffectWithItsUniforms)
{
    // A run folder of its own, without the music, and with the shaders edited in a folder beside
    // it; the Toon fragment shader is broken from the start, as the demo would meet it.
    namespace fs = std::filesystem;
    const std::string dir = makeTempDir("lumarq-preview-shaders");
    ASSERT_TRUE(copyTree(runDir + "/shader", dir + "/shader"));
    ASSERT_TRUE(copyTree(runDir + "/shader", dir + "/edited"));
    fs::create_directory_symlink(runDir + "/models", dir + "/models");
    const std::string toon = dir + "/edited/Toon.fragmentshader";
    const std::string goodToon = readFile(toon);
    const std::string brokenToon = "#version 330 core\nvoid main() { color = ; }\n";
    writeFile(toon, brokenToon);
    const Image original = loadStill(captureStills(runDir, "20000", 160, 90) + "/frame-20000.png");
    ASSERT_EQ(chdir(dir.c_str()), 0);

    testing::internal::CaptureStdout();
    std::unique_ptr<PreviewSession> session = openPreview(160, 90, 20000, dir + "/edited");
    const std::string output = testing::internal::GetCapturedStdout();
    ASSERT_NE(session, nullptr);
    EXPECT_NE(output.find("FMOD error! ("), std::string::npos) << "the missing music is reported";
    EXPECT_NE(output.find("Compiling shader : Toon.fragmentshader\n0:"), std::string::npos)
        << "the broken shader's log is printed at start-up, as in the demo:\n"
        << output;
    EXPECT_EQ(readFile(dir + "/shader/Toon.fragmentshader"), brokenToon) << "shader/ follows the edited folder";
    pausePreview(*session);
    Image atStart;
    previewFrame(*session, &atStart);
    keep(atStart, "reload-broken-at-start");
    EXPECT_GT(differingFraction(atStart, original), 0.05) << "without its toon program the stage is not drawn";

    // Fixed, the program comes in and the picture is the show's.
    writeFile(toon, goodToon);
    testing::internal::CaptureStdout();
    EXPECT_EQ(rebuildChangedPrograms(session->shaders, *session->show.scene), 1);
    testing::internal::GetCapturedStdout();
    Image good;
    previewFrame(*session, &good);
    keep(good, "reload-fixed");
    EXPECT_EQ(differingFraction(good, original), 0.0);

    // Broken again, the previous program stays and says why.
    writeFile(toon, brokenToon);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(rebuildChangedPrograms(session->shaders, *session->show.scene), 0);
    const std::string log = testing::internal::GetCapturedStdout();
    const std::string complaint = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("Compiling shader : Toon.fragmentshader"), std::string::npos) << log;
    EXPECT_NE(complaint.find("the Toon program did not build"), std::string::npos) << complaint;
    Image broken;
    previewFrame(*session, &broken);
    EXPECT_EQ(differingFraction(good, broken), 0.0) << "a broken shader must leave the old program in use";

    // A different shader whose uniforms sit elsewhere: drawn as the capture draws it from the
    // same files.
    writeFile(toon, reversedToon);
    testing::internal::CaptureStdout();
    EXPECT_EQ(rebuildChangedPrograms(session->shaders, *session->show.scene), 1);
    testing::internal::GetCapturedStdout();
    Image reversed;
    previewFrame(*session, &reversed);
    keep(reversed, "reload-reversed");
    EXPECT_GT(differingFraction(good, reversed), 0.05) << "the new shader must show";
    const std::string stills = captureStills(dir, "20000", 160, 90);
    EXPECT_EQ(differingFraction(reversed, loadStill(stills + "/frame-20000.png")), 0.0);
    // A seek sets the show back to its start and steps it again: with the rebuilt program.
    seekPreview(*session, 20000.0);
    Image reseeked;
    previewFrame(*session, &reseeked);
    EXPECT_EQ(differingFraction(reversed, reseeked), 0.0);
    // Nothing changed since: no further rebuild.
    EXPECT_EQ(rebuildChangedPrograms(session->shaders, *session->show.scene), 0);
    closePreviewSession(*session);
}

}  // namespace
