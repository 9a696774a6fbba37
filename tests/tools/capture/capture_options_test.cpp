// lumarq-capture's command line: what it accepts and what it refuses before rendering anything.
#include "capture_options.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

bool parse(std::vector<const char*> args, CaptureOptions& options, std::string& error)
{
    args.insert(args.begin(), "lumarq-capture");
    return parseCaptureOptions(static_cast<int>(args.size()), args.data(), options, error) ==
           CommandLineResult::run;
}

TEST(CaptureOptions, StillsTakeSortedTimesSizeAndKeys)
{
    CaptureOptions options;
    std::string error;
    ASSERT_TRUE(parse({"--at", "50000,1000,29300", "--out", "dir", "--size", "640x360", "--keys", "1200:3,900:0",
                       "--at", "05000"},
                      options, error))
        << error;
    EXPECT_EQ(options.mode, CaptureMode::stills);
    // Leading zeros are decimal, not octal.
    EXPECT_EQ(options.atMs, (std::vector<int>{1000, 5000, 29300, 50000}));
    EXPECT_EQ(options.width, 640);
    EXPECT_EQ(options.height, 360);
    ASSERT_EQ(options.keys.size(), 2u);
    EXPECT_EQ(options.keys[0].timeMs, 1200);
    EXPECT_EQ(options.keys[0].key, '3');
    EXPECT_EQ(options.outDir, "dir");
}

TEST(CaptureOptions, VideoDefaultsToTheWholeShowAtSixtyFrames)
{
    CaptureOptions options;
    std::string error;
    ASSERT_TRUE(parse({"--video", "show.mp4"}, options, error)) << error;
    EXPECT_EQ(options.mode, CaptureMode::video);
    EXPECT_EQ(options.toMs, 88000);
    EXPECT_EQ(options.fps, 60);
    EXPECT_EQ(options.width, 1280);
    EXPECT_EQ(options.height, 720);
}

TEST(CaptureOptions, PosesTakeAStyle)
{
    CaptureOptions options;
    std::string error;
    ASSERT_TRUE(parse({"--poses", "dir", "--style", "bump"}, options, error)) << error;
    EXPECT_EQ(options.mode, CaptureMode::poses);
    EXPECT_EQ(options.style, ShowStyle::bump);
    EXPECT_EQ(options.outDir, "dir");
}

TEST(CaptureOptions, RefusesBadCommandLines)
{
    const std::vector<std::vector<const char*>> bad = {
        {},
        {"--at", "1000"},                // no --out
        {"--at", "10,x", "--out", "d"},  // not a number
        {"--at", "-5", "--out", "d"},    // negative time
        {"--at", "10", "--out", "d", "--size", "640"},
        {"--video", "v.mp4", "--size", "0x0"},
        {"--video", "v.mp4", "--size", "99999x720"},
        {"--video", "v.mp4", "--fps", "0"},
        {"--video", "v.mp4", "--keys", "100:7"},  // only 0 to 3
        {"--video", "v.mp4", "--keys", "100"},
        {"--video", "v.mp4", "--sheet", "s.png"},  // two modes
        {"--at", "10", "--out", "d", "--poses", "p"},
        {"--video", "v.mp4", "--to", "0"},
        {"--video", "v.mp4", "--fps", "241"},
        {"--sheet", "s.png", "extra"},
        {"--poses", "d", "--style", "plastic"},
        {"--video"},  // value missing
        {"--frobnicate", "1"},
    };
    for (const auto& args : bad) {
        CaptureOptions options;
        std::string error;
        EXPECT_FALSE(parse(args, options, error)) << "accepted: " << (args.empty() ? "(nothing)" : args[0]);
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
