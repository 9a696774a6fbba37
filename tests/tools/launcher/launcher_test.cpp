// The launcher: which build each monitor gets, and the launcher run as a viewer runs it, through
// a link from another folder and under its own X server: the build that fits starts full screen
// in the launcher's folder, --size picks another, and a bad command line or a missing display
// ends it at once with the tools' statuses.
#include "build_choice.h"
#include "support/process.h"
#include "tools/launcher/launch_cases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<DisplaySize> builds()
{
    std::vector<DisplaySize> sizes;
    std::istringstream list(LUMARQ_DISPLAY_SIZES);
    for (std::string name; std::getline(list, name, ',');) {
        DisplaySize size;
        EXPECT_TRUE(readDisplaySize(name, size)) << name;
        sizes.push_back(size);
    }
    return sizes;
}

std::string choiceFor(const std::vector<DisplaySize>& sizes, const std::string& monitorName)
{
    DisplaySize monitor;
    EXPECT_TRUE(readDisplaySize(monitorName, monitor)) << monitorName;
    return displaySizeName(fittingBuild(sizes, monitor));
}

TEST(BuildChoice, EachMonitorGetsTheBuildThatShowsBestOnIt)
{
    const std::vector<std::pair<const char*, const char*>> cases = {
        // a build of its own
        {"1280x720", "1280x720"},
        {"1280x1024", "1280x1024"},
        {"1920x1200", "1920x1200"},
        {"1920x1080", "1920x1080"},
        // larger: the largest build of the nearest shape
        {"2560x1440", "1920x1080"},
        {"3840x2160", "1920x1080"},
        {"2560x1600", "1920x1200"},
        {"2560x1080", "1920x1080"},
        {"2048x1536", "1280x1024"},
        // in between: of the builds that fit, the nearest shape
        {"1366x768", "1280x720"},
        {"1280x800", "1280x720"},
        {"1680x1050", "1280x720"},
        {"1600x1200", "1280x1024"},
        // smaller than every build, or standing on end: the smallest
        {"1024x768", "1280x720"},
        {"1080x1920", "1280x720"},
    };
    std::vector<DisplaySize> sizes = builds();
    ASSERT_EQ(sizes.size(), 4u);
    for (int order = 0; order < 2; ++order) {
        for (const auto& [monitor, build] : cases) {
            EXPECT_EQ(choiceFor(sizes, monitor), build) << "monitor " << monitor;
        }
        std::reverse(sizes.begin(), sizes.end());  // the order of the list does not matter
    }
}

TEST(BuildChoice, SizesAreReadWhole)
{
    DisplaySize size;
    ASSERT_TRUE(readDisplaySize("1920x1200", size));
    EXPECT_EQ(size.width, 1920);
    EXPECT_EQ(size.height, 1200);
    EXPECT_EQ(displaySizeName(size), "1920x1200");
    for (const char* bad : {"", "1920", "x1200", "1920x", "19a0x1200", "1920x1200x24", "0x720", "-1280x720",
                            "123456x720", "1920 x1200"}) {
        EXPECT_FALSE(readDisplaySize(bad, size)) << bad;
    }
}

// The launcher through a link in a fresh folder, started there, as /usr/bin/lumarq is.
struct LinkedLauncher {
    std::string dir = makeTempDir("lumarq-launcher");
    std::string link = dir + "/lumarq";

    LinkedLauncher()
    {
        std::filesystem::create_symlink(std::string(LUMARQ_RUN_DIR) + "/lumarq", link);
    }
    ~LinkedLauncher()
    {
        std::filesystem::remove_all(dir);
    }
};

// The demo's window after a run of the launcher on a screen of `screen` pixels.
struct LaunchedRun {
    ProcessResult result;
    std::string geometry;
};

LaunchedRun launchUntilEscape(const LinkedLauncher& launcher, const std::vector<std::string>& args,
                              const std::string& screen)
{
    ProcessOptions options;
    options.workingDirectory = launcher.dir;
    options.setEnv = {"ALSOFT_DRIVERS=null", "LUMARQ_WINDOW_GEOMETRY=" + launcher.dir + "/geometry"};
    options.timeoutSeconds = 120;
    std::vector<std::string> command = {launcher.link};
    command.insert(command.end(), args.begin(), args.end());
    LaunchedRun run;
    run.result = runProcess(untilEscape(command), onScreen(options, screen + "x24"));
    run.geometry = readFile(launcher.dir + "/geometry");
    return run;
}

TEST(Launcher, StartsTheBuildThatFitsTheMonitorFromItsOwnFolder)
{
    const LinkedLauncher launcher;
    const LaunchedRun run = launchUntilEscape(launcher, {}, "1920x1080");
    EXPECT_EQ(run.result.exitStatus, 0) << run.result.err;
    // The demo found its shaders, models and music although it was started elsewhere.
    EXPECT_NE(run.result.out.find("END MOVE OBJECTS: 0"), std::string::npos) << run.result.out;
    EXPECT_EQ(run.result.out.find("FMOD error!"), std::string::npos) << run.result.out;
    EXPECT_NE(run.geometry.find("Position: 0,0 (screen: 0)\n  Geometry: 1920x1080"), std::string::npos)
        << run.geometry;
}

// A copy of the launcher in a folder of its own, beside stand-ins for the four builds that say
// which of them was started, where and with how many arguments.
struct LauncherWithStandIns {
    std::string dir = makeTempDir("lumarq-launcher-copy");
    std::string launcher = dir + "/lumarq";
    std::string elsewhere = makeTempDir("lumarq-launcher-elsewhere");

    LauncherWithStandIns()
    {
        std::filesystem::copy_file(std::string(LUMARQ_RUN_DIR) + "/lumarq", launcher);
        for (const DisplaySize& size : builds()) {
            const std::string program = dir + "/lumarq-" + displaySizeName(size);
            writeFile(program, "#!/bin/sh\necho \"$(basename \"$0\") in $PWD with $# arguments\"\n");
            std::filesystem::permissions(program, std::filesystem::perms::owner_all);
        }
    }
    ~LauncherWithStandIns()
    {
        std::filesystem::remove_all(dir);
        std::filesystem::remove_all(elsewhere);
    }

    // Runs the launcher, started in another folder, under an X server with a screen of `screen`.
    ProcessResult run(const std::vector<std::string>& args, const std::string& screen) const
    {
        ProcessOptions options;
        options.workingDirectory = elsewhere;
        std::vector<std::string> command = {std::string(LUMARQ_SOURCE_DIR) + "/tests/support/with-xvfb", launcher};
        command.insert(command.end(), args.begin(), args.end());
        return runProcess(command, onScreen(options, screen + "x24"));
    }
};

TEST(Launcher, StartsTheChosenBuildInItsFolderWithNoArguments)
{
    const LauncherWithStandIns copy;
    const std::string folder = std::filesystem::canonical(copy.dir).string();
    for (const LaunchCase& launch : launchCases) {
        const ProcessResult run = copy.run(launch.args, launch.screen);
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_EQ(run.out, "lumarq-" + launch.build + " in " + folder + " with 0 arguments\n")
            << "screen " << launch.screen;
        EXPECT_EQ(run.err.find("no build fits the " + launch.screen + " monitor") != std::string::npos,
                  !launch.fits)
            << run.err;
    }
}

TEST(Launcher, ABadCommandLineOrNoDisplayEndsItAtOnce)
{
    const LinkedLauncher launcher;
    ProcessOptions options;
    options.workingDirectory = launcher.dir;
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--size", "1024x768"}, {"--size"}, {"--size", "1280x720", "extra"}, {"--fullscreen"}}) {
        std::vector<std::string> command = {launcher.link};
        command.insert(command.end(), args.begin(), args.end());
        const ProcessResult bad = runProcess(command, options);
        EXPECT_EQ(bad.exitStatus, 2) << args.back();
        EXPECT_NE(bad.err.find("run lumarq --help"), std::string::npos) << bad.err;
        EXPECT_EQ(bad.out, "");
    }

    const ProcessResult help = runProcess({launcher.link, "--help"}, options);
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.out.find("1280x720, 1280x1024, 1920x1200, 1920x1080"), std::string::npos) << help.out;

    options.unsetEnv = {"DISPLAY", "WAYLAND_DISPLAY"};
    const ProcessResult noDisplay = runProcess({launcher.link}, options);
    EXPECT_EQ(noDisplay.exitStatus, 255);
    EXPECT_NE(noDisplay.err.find("lumarq: no monitor"), std::string::npos) << noDisplay.err;
    EXPECT_EQ(noDisplay.out, "") << "no demo was started";
}

}  // namespace
