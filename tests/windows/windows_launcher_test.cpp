// The Windows launcher, lumarq.exe, under Wine, as a viewer starts it from the unpacked zip: the
// build it starts for each screen of the table that the Linux launcher's test uses, --size, a
// build that is missing and the build's status passed on. The builds are stand-ins that say how
// they were started; the Windows programs' test starts a real one through the launcher.
#include "tools/launcher/launch_cases.h"
#include "wine_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A folder as a Windows program under Wine names it: the Unix root is drive Z:.
std::string windowsFolder(const std::string& folder)
{
    std::string path = "Z:" + fs::canonical(folder).string();
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// A copy of lumarq.exe in a folder of its own, beside stand-ins for the four builds, started
// from another folder under Wine.
struct LauncherWithStandIns {
    std::string dir = makeTempDir("lumarq-wine-launcher");
    std::string elsewhere = makeTempDir("lumarq-wine-launcher-elsewhere");
    std::string launcher = dir + "/lumarq.exe";
    ProcessResult compiled;

    LauncherWithStandIns()
    {
        fs::copy_file(std::string(LUMARQ_WINDOWS_RUN_DIR) + "/lumarq.exe", launcher);
        const std::string standIn = dir + "/stand-in.exe";
        compiled = compileStandIn(standIn);
        for (const std::string& size : displaySizes()) {
            std::error_code error;
            fs::copy_file(standIn, dir + "/lumarq-" + size + ".exe", error);
        }
    }
    ~LauncherWithStandIns()
    {
        fs::remove_all(dir);
        fs::remove_all(elsewhere);
    }

    // Runs the launcher under Wine; on a screen of its own when `screen` is given.
    ProcessResult run(const std::vector<std::string>& args, const std::string& screen,
                      const std::vector<std::string>& env = {}) const
    {
        WineRun wine = prepareWineRun(WineAudio::none);
        EXPECT_TRUE(wine.ready);
        wine.options.workingDirectory = elsewhere;
        wine.options.setEnv.insert(wine.options.setEnv.end(), env.begin(), env.end());
        std::vector<std::string> command = underWine(launcher, args);
        if (screen.empty()) {
            return runUnderWine(command, wine.options);
        }
        command.insert(command.begin(), std::string(LUMARQ_SOURCE_DIR) + "/tests/support/with-xvfb");
        return runUnderWine(command, onScreen(wine.options, screen + "x24"));
    }
};

TEST(WindowsLauncher, StartsTheBuildThatFitsThePrimaryMonitorInItsFolderWithNoArguments)
{
    const LauncherWithStandIns copy;
    ASSERT_EQ(copy.compiled.exitStatus, 0) << copy.compiled.err;
    const std::string folder = windowsFolder(copy.dir);
    for (const LaunchCase& launch : launchCases) {
        const ProcessResult run = copy.run(launch.args, launch.screen);
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_EQ(outputLines(run.out),
                  std::vector<std::string>{"lumarq-" + launch.build + ".exe in " + folder + " with 0 arguments"})
            << "screen " << launch.screen;
        EXPECT_EQ(run.err.find("no build fits the " + launch.screen + " monitor") != std::string::npos,
                  !launch.fits)
            << run.err;
    }
}

TEST(WindowsLauncher, PassesOnTheStatusAndSaysWhatIsMissingOrWrong)
{
    const LauncherWithStandIns copy;
    ASSERT_EQ(copy.compiled.exitStatus, 0) << copy.compiled.err;

    const ProcessResult three = copy.run({"--size", "1280x720"}, "", {"LUMARQ_STAND_IN_STATUS=3"});
    EXPECT_EQ(three.exitStatus, 3) << three.err;
    EXPECT_EQ(outputLines(three.out).size(), 1u) << three.out;

    ASSERT_TRUE(fs::remove(copy.dir + "/lumarq-1920x1200.exe"));
    const ProcessResult missing = copy.run({"--size", "1920x1200"}, "");
    EXPECT_EQ(missing.exitStatus, 127);
    EXPECT_NE(missing.err.find("lumarq: cannot find lumarq-1920x1200.exe in " + windowsFolder(copy.dir) +
                               ": unpack the whole zip"),
              std::string::npos)
        << missing.err;
    EXPECT_EQ(missing.out, "");

    const ProcessResult bad = copy.run({"--size", "1024x768"}, "");
    EXPECT_EQ(bad.exitStatus, 2);
    EXPECT_NE(bad.err.find("run lumarq --help"), std::string::npos) << bad.err;
    EXPECT_EQ(bad.out, "") << "no build was started";
}

}  // namespace
