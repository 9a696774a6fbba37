// lumarq-capture end to end: repeatable stills, the style switch seen in pictures, key presses,
// the contact sheet and a short video with its sound.
#include "support/picture.h"
#include "support/process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

const std::string capture = std::string(LUMARQ_RUN_DIR) + "/lumarq-capture";

ProcessResult runCapture(std::vector<std::string> args)
{
    args.insert(args.begin(), capture);
    ProcessOptions options;
    options.workingDirectory = LUMARQ_RUN_DIR;
    options.timeoutSeconds = 240;
    return runProcess(args, options);
}

// A pixel counts as changed when its channels together move by more than this.
constexpr int noticeable = 24;

TEST(CaptureRun, HelpPrintsTheUsageAndBadArgumentsGiveTheReasonAndStatusTwo)
{
    const ProcessResult help = runCapture({"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    for (const char* text : {"Usage: lumarq-capture", "--at", "--video", "--sheet", "--poses", "--keys"}) {
        EXPECT_NE(help.out.find(text), std::string::npos) << text << " not in\n" << help.out;
    }
    const ProcessResult noOut = runCapture({"--at", "1000"});
    EXPECT_EQ(noOut.exitStatus, 2);
    EXPECT_NE(noOut.err.find("lumarq-capture: --at needs --out"), std::string::npos) << noOut.err;
    EXPECT_NE(noOut.err.find("--help"), std::string::npos) << noOut.err;
    const ProcessResult small = runCapture({"--video", "v.mp4", "--size", "16x16"});
    EXPECT_EQ(small.exitStatus, 2);
    EXPECT_NE(small.err.find("--size"), std::string::npos) << small.err;
}

TEST(CaptureRun, StillsRepeatExactlyAndShowTheShadowSwitch)
{
    const std::string first = makeTempDir("lumarq-capture-a");
    const std::string second = makeTempDir("lumarq-capture-b");
    const std::vector<std::string> common = {"--at", "29200,29300", "--size", "320x180", "--fps", "30"};
    std::vector<std::string> a = common;
    a.insert(a.end(), {"--out", first});
    std::vector<std::string> b = common;
    b.insert(b.end(), {"--out", second});
    ProcessResult ra = runCapture(a);
    ProcessResult rb = runCapture(b);
    ASSERT_EQ(ra.exitStatus, 0) << ra.err;
    ASSERT_EQ(rb.exitStatus, 0) << rb.err;
    for (const char* name : {"/frame-29200.png", "/frame-29300.png"}) {
        const std::string bytesA = readFile(first + name);
        ASSERT_FALSE(bytesA.empty()) << name;
        EXPECT_TRUE(bytesA == readFile(second + name)) << name << " differs between two runs";
    }
    // 29200 is still toon; by 29300 the shadow style has switched on: most of the picture changes.
    const Picture before = loadPicture(first + "/frame-29200.png");
    const Picture after = loadPicture(first + "/frame-29300.png");
    EXPECT_GT(differingShare(before, after, noticeable), 0.2);
}

TEST(CaptureRun, StillsGoToAFolderThatDoesNotExistYet)
{
    const std::string dir = makeTempDir("lumarq-capture-nested") + "/a/b";
    ProcessResult result = runCapture({"--at", "0", "--size", "64x64", "--out", dir});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(loadPicture(dir + "/frame-0.png").width, 64);
}

TEST(CaptureRun, AKeyPressSwitchesTheStyleAtItsTime)
{
    const std::string plain = makeTempDir("lumarq-capture-plain");
    const std::string keyed = makeTempDir("lumarq-capture-keyed");
    ProcessResult rp = runCapture({"--at", "3000", "--size", "320x180", "--fps", "30", "--out", plain});
    ProcessResult rk =
        runCapture({"--at", "3000", "--size", "320x180", "--fps", "30", "--keys", "2000:2", "--out", keyed});
    ASSERT_EQ(rp.exitStatus, 0) << rp.err;
    ASSERT_EQ(rk.exitStatus, 0) << rk.err;
    EXPECT_GT(
        differingShare(loadPicture(plain + "/frame-3000.png"), loadPicture(keyed + "/frame-3000.png"), noticeable),
        0.2);
}

TEST(CaptureRun, ContactSheetHasAThumbnailRowPerSegment)
{
    const std::string dir = makeTempDir("lumarq-capture-sheet");
    ProcessResult result = runCapture({"--sheet", dir + "/sheet.png", "--size", "320x180", "--fps", "10"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const Picture sheet = loadPicture(dir + "/sheet.png");
    // Three 320x180 thumbnails across, ten rows of label and thumbnail down.
    EXPECT_EQ(sheet.width, 8 + 3 * (320 + 8));
    EXPECT_EQ(sheet.height, 8 + 10 * (20 + 180 + 8));
}

TEST(CaptureRun, VideoCarriesTheMusicAndLastsAsAsked)
{
    if (std::system("command -v ffprobe > /dev/null 2>&1") != 0) {
        GTEST_SKIP() << "ffmpeg is not installed";
    }
    const std::string dir = makeTempDir("lumarq-capture-video");
    const std::string video = dir + "/show.mp4";
    ProcessResult result = runCapture({"--video", video, "--size", "160x90", "--fps", "10", "--to", "3000"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    ProcessOptions options;
    ProcessResult probe =
        runProcess({"/usr/bin/ffprobe", "-v", "error", "-show_entries", "stream=codec_type:format=duration", "-of",
                    "default=noprint_wrappers=1", video},
                   options);
    ASSERT_EQ(probe.exitStatus, 0) << probe.err;
    EXPECT_NE(probe.out.find("codec_type=video"), std::string::npos) << probe.out;
    EXPECT_NE(probe.out.find("codec_type=audio"), std::string::npos) << probe.out;
    const std::string::size_type at = probe.out.find("duration=");
    ASSERT_NE(at, std::string::npos) << probe.out;
    const double duration = std::atof(probe.out.c_str() + at + 9);
    EXPECT_NEAR(duration, 3.1, 0.25);
}

}  // namespace
