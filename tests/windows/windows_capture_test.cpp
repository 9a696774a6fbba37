// lumarq-capture.exe draws the same show as the Linux build: stills at the same show times, one
// in each style, one mid-hop and one just after the timed shadow switch, compared pixel by pixel.
// Both run on the same Mesa software renderer, so the pictures are expected to be identical.
#include "support/picture.h"
#include "wine_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::string times[] = {"5000", "10719", "29300", "35000", "60000"};
const std::string stillSize = "480x270";
// The share of pixels allowed to differ: the two C runtimes' sin and cos may round the last bit
// differently, which can move an edge pixel; anything that changes the picture moves far more.
constexpr double allowedDifferentShare = 0.0005;

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
    const ProcessResult onWindows = runUnderWine(windowsCommand, wine.options);
    ASSERT_EQ(onWindows.exitStatus, 0) << onWindows.out << onWindows.err;

    for (const std::string& t : times) {
        const Picture linuxStill = loadPicture(linuxDir + "/frame-" + t + ".png");
        const Picture windowsStill = loadPicture(wine.dir + "/stills/frame-" + t + ".png");
        ASSERT_EQ(linuxStill.width, 480) << t;
        ASSERT_EQ(windowsStill.width, linuxStill.width) << t;
        ASSERT_EQ(windowsStill.height, linuxStill.height) << t;
        const double share = differingShare(linuxStill, windowsStill);
        EXPECT_LE(share, allowedDifferentShare)
            << "the still at " << t << " ms differs in " << share * 100 << "% of its pixels";
    }
    std::filesystem::remove_all(linuxDir);
}

}  // namespace
