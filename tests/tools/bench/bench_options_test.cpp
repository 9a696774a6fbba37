// lumarq-bench's command line: defaults, accepted forms, and refusals.
#include "bench_options.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

bool parse(std::vector<const char*> args, BenchOptions& options, std::string& error)
{
    args.insert(args.begin(), "lumarq-bench");
    return parseBenchOptions(static_cast<int>(args.size()), args.data(), options, error) == CommandLineResult::run;
}

}  // namespace

TEST(BenchOptions, DefaultsMeasureTheShowAtTheDemoSize)
{
    BenchOptions options;
    std::string error;
    ASSERT_TRUE(parse({}, options, error)) << error;
    EXPECT_EQ(options.width, 1280);
    EXPECT_EQ(options.height, 720);
    EXPECT_EQ(options.warmupFrames, 60);
    EXPECT_GE(options.frames, 600);
    EXPECT_FALSE(options.callgrind);
    EXPECT_FALSE(options.forceStyle);
}

TEST(BenchOptions, AcceptsEveryOption)
{
    BenchOptions options;
    std::string error;
    ASSERT_TRUE(parse({"--size",
                       "320x180",
                       "--frames",
                       "12",
                       "--warmup",
                       "0",
                       "--json",
                       "out.json",
                       "--callgrind",
                       "--style",
                       "bump",
                       "--no-shadows",
                       "--no-outline",
                       "--line-width",
                       "1",
                       "--cold-startup",
                       "cold.json",
                       "--callgrind-out",
                       "cg.out",
                       "--callgrind-frames",
                       "200"},
                      options, error))
        << error;
    EXPECT_EQ(options.width, 320);
    EXPECT_EQ(options.height, 180);
    EXPECT_EQ(options.frames, 12);
    EXPECT_EQ(options.warmupFrames, 0);
    EXPECT_EQ(options.jsonFile, "out.json");
    EXPECT_TRUE(options.callgrind);
    EXPECT_TRUE(options.forceStyle);
    EXPECT_EQ(options.style, ShowStyle::bump);
    EXPECT_TRUE(options.noShadows);
    EXPECT_TRUE(options.noOutline);
    EXPECT_FLOAT_EQ(options.lineWidth, 1.0f);
    EXPECT_EQ(options.coldStartupFile, "cold.json");
    EXPECT_EQ(options.callgrindFile, "cg.out");
    EXPECT_EQ(options.callgrindFrames, 200);
}

TEST(BenchOptions, RefusesBadCommandLines)
{
    const std::vector<std::vector<const char*>> bad = {
        {"--size"},
        {"--size", "1280"},
        {"--size", "0x720"},
        {"--size", "32x32"},
        {"--size", "1280x-1"},
        {"--size", "1280x720x3"},
        {"--frames", "0"},
        {"--frames", "ten"},
        {"--warmup", "-1"},
        {"--style", "plastic"},
        {"--line-width", "0"},
        {"--line-width", "nan"},
        {"--frames", "5", "--frames", "6"},
        {"--callgrind-out", "cg.out"},
        {"--callgrind-frames", "10"},
        {"--callgrind", "--startup-only"},
        {"--fast"},
        {"extra"},
    };
    for (const auto& args : bad) {
        BenchOptions options;
        std::string error;
        EXPECT_FALSE(parse(args, options, error)) << (args.empty() ? "" : args[0]);
        EXPECT_FALSE(error.empty());
    }
}
