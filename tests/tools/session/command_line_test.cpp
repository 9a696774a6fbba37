// The tools' shared command-line conventions: one rule for window sizes, key presses and style
// names read the same in every tool, numbers only in decimal, and --help apart from errors.
#include "show_options.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Parsed {
    CommandLineResult result;
    std::string message;
};

struct SharedOptions {
    int width = 1280;
    int height = 720;
    std::vector<KeyPress> keys;
    ShowStyle style = ShowStyle::toon;
    int count = 5;
    float width2 = 0.0f;
};

Parsed parse(std::vector<const char*> args, SharedOptions& options)
{
    CLI::App app("A tool.", "lumarq-tool");
    addSizeOption(app, options.width, options.height);
    addKeysOption(app, options.keys);
    addStyleOption(app, options.style, "a style");
    app.add_option("--count", options.count, "a count")->transform(wholeNumber(1, 1000));
    app.add_option("--line-width", options.width2, "a width")->transform(decimalNumber(1.0, 64.0));
    args.insert(args.begin(), "lumarq-tool");
    Parsed parsed;
    parsed.result = parseCommandLine(app, static_cast<int>(args.size()), args.data(), parsed.message);
    return parsed;
}

TEST(CommandLine, WindowSidesRunFrom64To8192)
{
    SharedOptions options;
    ASSERT_EQ(parse({"--size", "64x8192"}, options).result, CommandLineResult::run);
    EXPECT_EQ(options.width, 64);
    EXPECT_EQ(options.height, 8192);
    for (const char* size :
         {"63x720", "1280x8193", "0x0", "1280", "1280x", "x720", "1280x720x3", "-640x360", "1280X720", "big"}) {
        SharedOptions refused;
        const Parsed parsed = parse({"--size", size}, refused);
        EXPECT_EQ(parsed.result, CommandLineResult::bad) << size;
        EXPECT_NE(parsed.message.find("--size"), std::string::npos) << parsed.message;
        EXPECT_NE(parsed.message.find("64 to 8192"), std::string::npos) << parsed.message;
        EXPECT_EQ(refused.width, 1280) << size;
    }
}

TEST(CommandLine, KeysAndStylesReadTheSameEverywhere)
{
    SharedOptions options;
    ASSERT_EQ(parse({"--keys", "1200:3,900:0", "--keys", "5:1", "--style", "shadow"}, options).result,
              CommandLineResult::run);
    ASSERT_EQ(options.keys.size(), 3u);
    EXPECT_EQ(options.keys[0].timeMs, 1200);
    EXPECT_EQ(options.keys[0].key, '3');
    EXPECT_EQ(options.keys[1].key, '0');
    EXPECT_EQ(options.keys[2].timeMs, 5);
    EXPECT_EQ(options.style, ShowStyle::shadow);
    for (const std::vector<const char*>& args : std::vector<std::vector<const char*>>{{"--keys", "100:7"},
                                                                                      {"--keys", "100"},
                                                                                      {"--keys", "100:11"},
                                                                                      {"--keys", "-5:1"},
                                                                                      {"--style", "plastic"},
                                                                                      {"--style", "2"},
                                                                                      {"--style"}}) {
        SharedOptions refused;
        EXPECT_EQ(parse(args, refused).result, CommandLineResult::bad) << args[0] << " " << args.back();
    }
}

TEST(CommandLine, NumbersAreDecimalAndWithinTheirRange)
{
    SharedOptions options;
    ASSERT_EQ(parse({"--count", "010", "--line-width", "1.5"}, options).result, CommandLineResult::run);
    EXPECT_EQ(options.count, 10) << "a leading zero must not make it octal";
    EXPECT_FLOAT_EQ(options.width2, 1.5f);
    for (const std::vector<const char*>& args : std::vector<std::vector<const char*>>{{"--count", "0"},
                                                                                      {"--count", "1001"},
                                                                                      {"--count", "0x10"},
                                                                                      {"--count", "+5"},
                                                                                      {"--count", "1e3"},
                                                                                      {"--count", "ten"},
                                                                                      {"--count", "99999999999"},
                                                                                      {"--line-width", "nan"},
                                                                                      {"--line-width", "inf"},
                                                                                      {"--line-width", "0.5"},
                                                                                      {"--line-width", "2x"}}) {
        SharedOptions refused;
        const Parsed parsed = parse(args, refused);
        EXPECT_EQ(parsed.result, CommandLineResult::bad) << args[0] << " " << args[1];
        EXPECT_NE(parsed.message.find(args[1]), std::string::npos)
            << "the reason names the value: " << parsed.message;
    }
}

TEST(CommandLine, HelpIsNotAnError)
{
    SharedOptions options;
    const Parsed help = parse({"--size", "640x360", "--help"}, options);
    EXPECT_EQ(help.result, CommandLineResult::help);
    for (const char* text : {"lumarq-tool", "--size", "WxH", "--keys", "--style", "--count"}) {
        EXPECT_NE(help.message.find(text), std::string::npos) << text << " not in\n" << help.message;
    }
    EXPECT_EQ(parse({"--bogus"}, options).result, CommandLineResult::bad);
    EXPECT_EQ(parse({"stray"}, options).result, CommandLineResult::bad);
    EXPECT_EQ(parse({"--count", "3", "--count", "4"}, options).result, CommandLineResult::bad);
}

}  // namespace
