// lumarq-capture.exe draws the same show as the Linux build: stills at the same show times, one
// in each style, one mid-hop and one just after the timed shadow switch, compared pixel by pixel.
// Both run on the same Mesa software renderer, so the pictures are expected to be identical.
#include "wine_run.h"

#include <gtest/gtest.h>
#include <lodepng.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::string times[] = {"5000", "10719", "29300", "35000", "60000"};
const std::string stillSize = "480x270";
// The share of pixels allowed to differ: the two C runtimes' sin and cos may round the last bit
// differently, which can move an edge pixel; anything that changes the picture moves far more.
constexpr double allowedDifferentShare = 0.0005;

struct Still {
    std::vector<unsigned char> rgba;
    unsigned width = 0;
    unsigned height = 0;
};

Still load(const std::string& path)
{
    Still still;
    lodepng::decode(still.rgba, still.width, still.height, path);
    return still;
}

TEST(WindowsCapture, StillsMatchTheLinuxBuildPixelForPixel)
{
    std::string list;
    for (const std::string& t : times) {
        list += (list.empty() ? "" : ",") + t;
    }
    const std::string withXvfb = std::string(LUMARQ_SOURCE_DIR) + "/tests/support/with-xvfb";
    // Each build reads its assets from its own run folder and writes its stills elsewhere.
    const std::string linuxDir = makeTempDir("lumarq-linux-stills");
    ProcessOptions linuxOptions;
    linuxOptions.workingDirectory = LUMARQ_RUN_DIR;
    linuxOptions.timeoutSeconds = 180;
    const ProcessResult onLinux = runProcess({withXvfb, std::string(LUMARQ_RUN_DIR) + "/lumarq-capture", "--at",
                                              list, "--size", stillSize, "--out", linuxDir},
                                             linuxOptions);
    ASSERT_EQ(onLinux.exitStatus, 0) << onLinux.err;

    WineRun wine = prepareWineRun(WineAudio::none);
    ASSERT_TRUE(wine.ready);
    wine.options.workingDirectory = LUMARQ_WINDOWS_RUN_DIR;
    // Z: is Wine's drive for the Linux file system.
    std::vector<std::string> windowsCommand =
        underWine("lumarq-capture.exe", {"--at", list, "--size", stillSize, "--out", "Z:" + wine.dir + "/stills"});
    windowsCommand.insert(windowsCommand.begin(), withXvfb);
    const ProcessResult onWindows = runProcess(windowsCommand, wine.options);
    ASSERT_EQ(onWindows.exitStatus, 0) << onWindows.out << onWindows.err;

    for (const std::string& t : times) {
        const Still linuxStill = load(linuxDir + "/frame-" + t + ".png");
        const Still windowsStill = load(wine.dir + "/stills/frame-" + t + ".png");
        ASSERT_EQ(linuxStill.width, 480u) << t;
        ASSERT_EQ(windowsStill.width, linuxStill.width) << t;
        ASSERT_EQ(windowsStill.height, linuxStill.height) << t;
        size_t different = 0;
        for (size_t i = 0; i < linuxStill.rgba.size(); i += 4) {
            const bool same = linuxStill.rgba[i] == windowsStill.rgba[i] &&
                              linuxStill.rgba[i + 1] == windowsStill.rgba[i + 1] &&
                              linuxStill.rgba[i + 2] == windowsStill.rgba[i + 2];
            different += same ? 0 : 1;
        }
        const size_t pixels = linuxStill.rgba.size() / 4;
        EXPECT_LE(different, static_cast<size_t>(allowedDifferentShare * pixels))
            << "the still at " << t << " ms differs in " << different << " of " << pixels << " pixels";
    }
    std::filesystem::remove_all(linuxDir);
}

}  // namespace
