// The cross-built Windows programs under Wine, beside the Linux build of the same sources: what
// they link, how they start, what they print and how they end. Each run has its own X server of
// the program's display size and its own Wine prefix.
#include "support/picture.h"
#include "wine_run.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

const std::string windowsRun = LUMARQ_WINDOWS_RUN_DIR;
const std::string linuxRun = LUMARQ_RUN_DIR;

// Where two outputs part, for the failure message (GoogleTest shortens long lists).
std::string firstDifference(const std::vector<std::string>& windows, const std::vector<std::string>& linux)
{
    for (size_t i = 0; i < std::max(windows.size(), linux.size()); ++i) {
        const std::string w = i < windows.size() ? windows[i] : "(nothing)";
        const std::string l = i < linux.size() ? linux[i] : "(nothing)";
        if (w != l) {
            return "line " + std::to_string(i + 1) + ": Windows \"" + w + "\", Linux \"" + l + "\"";
        }
    }
    return "";
}

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

TEST(WindowsPrograms, AreConsoleProgramsThatNeedOnlyWindowsOwnDlls)
{
    // DLLs that every 64-bit Windows has. The toolchain's runtime (libstdc++, libgcc,
    // winpthread) and the libraries (GLFW, Assimp, mpg123, zlib) must be linked in.
    const std::set<std::string> windowsOwn = {"kernel32.dll", "user32.dll",   "gdi32.dll",  "shell32.dll",
                                              "shlwapi.dll",  "advapi32.dll", "winmm.dll",  "msvcrt.dll",
                                              "ole32.dll",    "opengl32.dll", "ws2_32.dll", "comdlg32.dll"};
    std::vector<std::string> programs = {"lumarq-capture.exe", "lumarq.exe"};
    for (const std::string& size : displaySizes()) {
        programs.push_back("lumarq-" + size + ".exe");
    }
    for (const std::string& program : programs) {
        // The launcher only reads the display mode and starts a build: no window, no sound.
        const bool launcher = program == "lumarq.exe";
        const ProcessResult dump = runProcess({LUMARQ_MINGW_OBJDUMP, "-p", windowsRun + "/" + program}, {});
        ASSERT_EQ(dump.exitStatus, 0) << program << dump.err;
        std::set<std::string> imported;
        for (const std::string& line : outputLines(dump.out)) {
            const std::string::size_type at = line.find("DLL Name: ");
            if (at != std::string::npos) {
                imported.insert(lower(line.substr(at + 10)));
            }
        }
        if (launcher) {
            EXPECT_EQ(imported, (std::set<std::string>{"kernel32.dll", "msvcrt.dll", "user32.dll"}));
        } else {
            EXPECT_TRUE(imported.count("winmm.dll")) << program << ": the sound output is WinMM's";
        }
        for (const std::string& dll : imported) {
            EXPECT_TRUE(windowsOwn.count(dll)) << program << " needs " << dll << ", which Windows does not have";
        }
        EXPECT_NE(dump.out.find("(Windows CUI)"), std::string::npos) << program << " is not a console program";
    }
}

struct StartedRun {
    ProcessResult result;
    std::string geometry;
    Picture screen;
};

// Runs one build of the demo for `size` under its own X server of that size until Escape, with
// `runner` (runProcess, or runUnderWine for a Windows build).
StartedRun startUntilEscape(const std::vector<std::string>& command, ProcessOptions options,
                            const std::string& size, const std::string& dir,
                            ProcessResult (*runner)(const std::vector<std::string>&, const ProcessOptions&))
{
    StartedRun run;
    options.setEnv.push_back("LUMARQ_SCREENSHOT=" + dir + "/screen.png");
    options.setEnv.push_back("LUMARQ_WINDOW_GEOMETRY=" + dir + "/geometry");
    run.result = runner(untilEscape(command), onScreen(options, size + "x24"));
    run.geometry = readFile(dir + "/geometry");
    run.screen = loadPicture(dir + "/screen.png");
    return run;
}

// Whether the screen shows the stage: several shades (the toon style has few), none of them
// covering nearly all of it, as a cleared or empty window would.
bool showsTheStage(const StartedRun& run)
{
    std::map<uint32_t, size_t> colours;
    size_t samples = 0;
    const std::vector<uint8_t>& rgb = run.screen.rgb;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3 * 7, ++samples) {
        ++colours[static_cast<uint32_t>(rgb[i]) << 16 | rgb[i + 1] << 8 | rgb[i + 2]];
    }
    size_t largest = 0;
    for (const auto& colour : colours) {
        largest = std::max(largest, colour.second);
    }
    return colours.size() >= 4 && largest < samples * 8 / 10;
}

class WindowsDemo : public ::testing::TestWithParam<std::string> {};

TEST_P(WindowsDemo, StartsFullScreenAndPrintsWhatTheLinuxBuildPrints)
{
    const std::string size = GetParam();
    const std::string program = "lumarq-" + size;

    // Both sides have an audio device that discards the sound, so neither prints a sound error.
    ProcessOptions linuxOptions;
    linuxOptions.workingDirectory = linuxRun;
    linuxOptions.setEnv = {"ALSOFT_DRIVERS=null"};
    linuxOptions.timeoutSeconds = 120;
    const std::string linuxDir = makeTempDir("lumarq-linux-start");
    const StartedRun onLinux =
        startUntilEscape({linuxRun + "/" + program}, linuxOptions, size, linuxDir, runProcess);

    WineRun wine = prepareWineRun(WineAudio::discarded);
    ASSERT_TRUE(wine.ready);
    wine.options.workingDirectory = windowsRun;
    const StartedRun onWindows =
        startUntilEscape(underWine(program + ".exe"), wine.options, size, wine.dir, runUnderWine);

    ASSERT_FALSE(onWindows.result.timedOut);
    EXPECT_EQ(onLinux.result.exitStatus, 0) << onLinux.result.err;
    EXPECT_EQ(onWindows.result.exitStatus, 0) << onWindows.result.err;
    // Start-up checkpoints, shader and model loader lines, in the same order, word for word.
    EXPECT_EQ(outputLines(onWindows.result.out), outputLines(onLinux.result.out))
        << firstDifference(outputLines(onWindows.result.out), outputLines(onLinux.result.out));
    EXPECT_EQ(outputLines(onWindows.result.err), outputLines(onLinux.result.err))
        << firstDifference(outputLines(onWindows.result.err), outputLines(onLinux.result.err));
    EXPECT_NE(onWindows.result.out.find("END MOVE OBJECTS: 0"), std::string::npos) << onWindows.result.out;

    // Full-screen: the whole screen of the program's size, from its corner.
    const std::string expected = "Position: 0,0 (screen: 0)\n  Geometry: " + size;
    EXPECT_NE(onLinux.geometry.find(expected), std::string::npos) << onLinux.geometry;
    EXPECT_NE(onWindows.geometry.find(expected), std::string::npos) << onWindows.geometry;
    // It drew the show, not a cleared window.
    ASSERT_EQ(std::to_string(onWindows.screen.width) + "x" + std::to_string(onWindows.screen.height), size);
    EXPECT_TRUE(showsTheStage(onWindows));
    EXPECT_TRUE(showsTheStage(onLinux));
    std::filesystem::remove_all(linuxDir);
}

INSTANTIATE_TEST_SUITE_P(EachDisplaySize, WindowsDemo, ::testing::ValuesIn(displaySizes()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return "size" + info.param; });

// GLFW frees XInput at glfwTerminate while Wine's XInput still runs a thread of its own in it:
// unless the program keeps the DLL mapped, that thread faults in the unmapped image now and then
// as the program ends, more often on a busy machine. Four runs at a time start the demo and end it
// by Escape once it draws (tests/windows/escape-runs, each of the four with its own prefix and X
// server, one run after another); a fault in any run fails. A crash of Wine's own has its run
// made again, as runUnderWine does.
TEST(WindowsPrograms, EndedByEscapeSixtyTimesOnABusyMachineTheDemoNeverFaults)
{
    // With the DLL freed, about one run in twelve faulted here: sixty pass by luck once in a
    // hundred or more.
    const size_t runs = 60;
    // Twice the suite's two cores, so that one run's end meets the others' start and frames.
    const int atOnce = 4;
    // Wine's own crashes are rare; more than this in one test is a fault of its own.
    const int wineOwnRunsAgain = 4;
    ProcessOptions options;
    options.workingDirectory = windowsRun;
    // A fifth of a second of frames after the first is enough to meet the fault at the end.
    options.setEnv = {std::string("LUMARQ_WINE=") + LUMARQ_WINE,
                      std::string("LUMARQ_WINE_PREFIX=") + LUMARQ_WINE_PREFIX, "LUMARQ_RUN_SECONDS=0.2"};
    options.timeoutSeconds = 280;
    const std::string script = std::string(LUMARQ_SOURCE_DIR) + "/tests/windows/";

    size_t ended = 0;
    int wineOwn = 0;
    std::vector<std::string> faults;
    while (ended + faults.size() < runs) {
        const size_t left = runs - ended - faults.size();
        const size_t each = (left + atOnce - 1) / atOnce;
        const std::string dir = makeTempDir("lumarq-wine-escapes");
        const ProcessResult batch =
            runProcess({script + "side-by-side", std::to_string(atOnce), dir, script + "escape-runs",
                        std::to_string(each), dir, "lumarq-1280x720.exe"},
                       options);
        ASSERT_FALSE(batch.timedOut) << left << " runs left";
        // Each of the four leaves its runs in a folder of its own (beside side-by-side's files
        // of the four themselves).
        std::vector<std::filesystem::path> statuses;
        for (const auto& slot : std::filesystem::directory_iterator(dir)) {
            if (!slot.is_directory()) {
                continue;
            }
            for (const auto& entry : std::filesystem::directory_iterator(slot.path())) {
                if (entry.path().extension() == ".status") {
                    statuses.push_back(entry.path());
                }
            }
        }
        ASSERT_FALSE(statuses.empty()) << readFile(dir + "/1.err");
        for (const std::filesystem::path& status : statuses) {
            const std::string name = (status.parent_path() / status.stem()).string();
            const std::string out = readFile(name + ".out");
            const std::string err = readFile(name + ".err");
            const WineCrashes crashes = wineCrashesIn(out + "\n" + err);
            if (crashes.count > 0 && crashes.allWineOwn && wineOwn < wineOwnRunsAgain) {
                ++wineOwn;
                std::cout << "Wine crashed in a process of its own during a run; running it once more:\n"
                          << crashes.reports;
            } else if (crashes.count > 0) {
                faults.push_back(crashes.reports.empty() ? out + err : crashes.reports);
            } else {
                // It drew frames and ended by Escape as it should.
                EXPECT_EQ(readFile(name + ".status"), "0\n") << err;
                EXPECT_NE(out.find("END MOVE OBJECTS: 0"), std::string::npos) << out << err;
                ++ended;
            }
        }
        std::filesystem::remove_all(dir);
    }
    std::cout << faults.size() << " of " << ended + faults.size() << " runs faulted under Wine\n";
    EXPECT_TRUE(faults.empty()) << faults.size() << " of " << ended + faults.size()
                                << " runs faulted under Wine; the first:\n"
                                << (faults.empty() ? "" : faults.front());
}

TEST(WindowsPrograms, WithoutAnAudioDeviceBothBuildsPrintTheSameSoundErrorsAndPlayOn)
{
    ProcessOptions linuxOptions;
    linuxOptions.workingDirectory = linuxRun;
    linuxOptions.setEnv = {"ALSOFT_DRIVERS=none"};  // no backend: no device to open
    linuxOptions.timeoutSeconds = 120;
    const ProcessResult onLinux = runProcess(untilEscape({linuxRun + "/lumarq-1280x720"}), linuxOptions);

    WineRun wine = prepareWineRun(WineAudio::none);
    ASSERT_TRUE(wine.ready);
    wine.options.workingDirectory = windowsRun;
    const ProcessResult onWindows = runUnderWine(untilEscape(underWine("lumarq-1280x720.exe")), wine.options);

    EXPECT_EQ(onWindows.exitStatus, 0) << onWindows.err;
    EXPECT_EQ(outputLines(onWindows.out), outputLines(onLinux.out))
        << firstDifference(outputLines(onWindows.out), outputLines(onLinux.out));
    const std::vector<std::string> out = outputLines(onWindows.out);
    ASSERT_GE(out.size(), 2u);
    EXPECT_EQ(out[0], "FMOD error! (5) No audio output device could be opened. ");
    EXPECT_EQ(out[1], "FMOD error! (3) The sound system has not been initialized. ");
    EXPECT_EQ(onWindows.err, "") << "only the program's own lines";
}

TEST(WindowsPrograms, AMissingModelFileIsNamedAsWrittenAndEndsWithStatusOne)
{
    const std::string copy = makeTempDir("lumarq-windows-run");
    ASSERT_TRUE(copyTree(windowsRun, copy));
    ASSERT_TRUE(std::filesystem::remove(copy + "/models/ground.obj"));
    WineRun wine = prepareWineRun(WineAudio::discarded);
    ASSERT_TRUE(wine.ready);
    wine.options.workingDirectory = copy;
    std::vector<std::string> command = underWine("lumarq-1280x720.exe");
    command.insert(command.begin(), std::string(LUMARQ_SOURCE_DIR) + "/tests/support/with-xvfb");
    const ProcessResult result = runUnderWine(command, wine.options);
    EXPECT_EQ(result.exitStatus, 1) << result.out << result.err;
    // Windows opens the table's path as it is written, backslash and all.
    EXPECT_NE(result.err.find("models\\ground.obj"), std::string::npos) << result.err;
    EXPECT_NE(result.out.find("END CREATE ENGINE: 0"), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("END LOAD OBJECTS"), std::string::npos) << result.out;
    std::filesystem::remove_all(copy);
}

// Alone, and through the launcher from another folder, which starts it on its own console and
// ends as it ends.
TEST(WindowsPrograms, WithoutADisplayTheRunEndsWithMinusOne)
{
    const std::string elsewhere = makeTempDir("lumarq-windows-elsewhere");
    for (const bool launched : {false, true}) {
        WineRun wine = prepareWineRun(WineAudio::discarded);
        ASSERT_TRUE(wine.ready);
        wine.options.workingDirectory = launched ? elsewhere : windowsRun;
        wine.options.unsetEnv = {"DISPLAY", "WAYLAND_DISPLAY"};
        const ProcessResult result =
            runUnderWine(launched ? underWine(windowsRun + "/lumarq.exe", {"--size", "1920x1080"})
                                  : underWine("lumarq-1920x1080.exe"),
                         wine.options);
        SCOPED_TRACE(launched ? "through lumarq.exe" : "alone");
        EXPECT_EQ(result.exitStatus, 255) << "-1 as an exit status" << result.err;
        EXPECT_EQ(outputLines(result.err), std::vector<std::string>{"Failed to initialize GLFW"});
        EXPECT_EQ(outputLines(result.out), std::vector<std::string>{"INIT: 0"});
    }
    std::filesystem::remove_all(elsewhere);
}

// Runs side by side share the suite's prefix through hard links. What a run writes to its registry
// stays in its own prefix, whether the test made the prefix or under-wine did: the suite's prefix
// and every other run's stay as they were, not rewritten under a run that is reading them.
TEST(WineRuns, WriteTheirRegistryToTheirOwnPrefixOnly)
{
    std::string registry;
    for (const char* file : {"system.reg", "user.reg", "userdef.reg"}) {
        registry += readFile(std::string(LUMARQ_WINE_PREFIX) + "/" + file);
    }
    ASSERT_NE(registry.find("[Software\\\\Wine"), std::string::npos);
    const std::vector<std::string> add = {"add", "HKCU\\Software\\LumarqProbe", "/v", "run", "/d", "1", "/f"};

    WineRun wine = prepareWineRun(WineAudio::none);
    ASSERT_TRUE(wine.ready);
    const ProcessResult inTheTestsPrefix = runUnderWine(underWine("reg", add), wine.options);
    EXPECT_EQ(inTheTestsPrefix.exitStatus, 0) << inTheTestsPrefix.out << inTheTestsPrefix.err;
    EXPECT_NE(readFile(wine.dir + "/prefix/user.reg").find("LumarqProbe"), std::string::npos);

    ProcessOptions ownPrefix;  // under-wine makes one
    ownPrefix.setEnv = {std::string("LUMARQ_WINE=") + LUMARQ_WINE,
                        std::string("LUMARQ_WINE_PREFIX=") + LUMARQ_WINE_PREFIX};
    ownPrefix.unsetEnv = {"WINEPREFIX"};
    ownPrefix.timeoutSeconds = 180;
    const ProcessResult inUnderWinesPrefix = runUnderWine(underWine("reg", add), ownPrefix);
    EXPECT_EQ(inUnderWinesPrefix.exitStatus, 0) << inUnderWinesPrefix.out << inUnderWinesPrefix.err;

    std::string after;
    for (const char* file : {"system.reg", "user.reg", "userdef.reg"}) {
        after += readFile(std::string(LUMARQ_WINE_PREFIX) + "/" + file);
    }
    EXPECT_TRUE(after == registry) << "a run wrote into the suite's prefix";
}

// A crash under Wine fails the test unless Wine's debugger shows it in a program of Wine's own with
// no frame of ours; only such a crash is run again. The crash here is a stand-in of ours reading
// through a null pointer on a thread of its own; its report, edited, stands for the other cases,
// and a recorded fault of Wine's XInput in our process for the one that a process gone leaves.
TEST(WineCrashes, OnlyACrashInAProgramOfWinesOwnWithNoFrameOfOursIsRunAgain)
{
    const std::string dir = makeTempDir("lumarq-wine-crash");
    const ProcessResult compiled = compileStandIn(dir + "/lumarq-stand-in.exe");
    ASSERT_EQ(compiled.exitStatus, 0) << compiled.err;
    WineRun wine = prepareWineRun(WineAudio::none);
    ASSERT_TRUE(wine.ready);
    wine.options.workingDirectory = dir;
    wine.options.setEnv.push_back("LUMARQ_STAND_IN_STATUS=crash");
    wine.options.setEnv.push_back("LUMARQ_STAND_IN_LOG=Z:" + dir + "/runs");
    ::testing::TestPartResultArray failures;
    ProcessResult crashed;
    {
        const ::testing::ScopedFakeTestPartResultReporter reporter(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
        crashed = runUnderWine(underWine(dir + "/lumarq-stand-in.exe"), wine.options);
    }
    ASSERT_EQ(failures.size(), 1) << crashed.err;
    EXPECT_NE(
        std::string(failures.GetTestPartResult(0).message()).find("1 crash(es) under Wine:\nUnhandled exception"),
        std::string::npos)
        << failures.GetTestPartResult(0).message();
    EXPECT_EQ(outputLines(readFile(dir + "/runs")), std::vector<std::string>{"lumarq-stand-in.exe started"})
        << "run once, not again";
    const std::vector<std::string> output = outputLines(crashed.out + crashed.err);
    const WineCrashes ours = wineCrashesIn(crashed.out + crashed.err);
    EXPECT_EQ(ours.count, 1);
    EXPECT_FALSE(ours.allWineOwn) << crashed.err;

    // The same report as if a driver host of Wine's had crashed: ours while a frame of ours is in
    // its backtrace, Wine's own once none is, and ours again when the report is cut off.
    std::string report;
    std::string withoutOurFrames;
    for (const std::string& line : output) {
        const std::string::size_type debugged = line.find(" (D) ");
        const std::string host = debugged == std::string::npos
                                     ? line
                                     : line.substr(0, debugged) + " (D) C:\\windows\\system32\\winedevice.exe";
        report += host + "\n";
        if (host.find("lumarq-stand-in") == std::string::npos) {
            withoutOurFrames += host + "\n";
        }
    }
    ASSERT_NE(report.find("(D) C:\\windows\\system32\\winedevice.exe"), std::string::npos)
        << "the debugger's report names the process it debugged:\n"
        << report;
    EXPECT_FALSE(wineCrashesIn(report).allWineOwn) << report;
    EXPECT_TRUE(wineCrashesIn(withoutOurFrames).allWineOwn) << withoutOurFrames;
    EXPECT_FALSE(wineCrashesIn(withoutOurFrames.substr(0, withoutOurFrames.find("Threads:")) + "wine: Unhandled\n")
                     .allWineOwn);
    EXPECT_EQ(wineCrashesIn(withoutOurFrames + withoutOurFrames).count, 2);
    EXPECT_TRUE(wineCrashesIn(withoutOurFrames + withoutOurFrames).allWineOwn);

    // Ours in whatever module it faults: our process with no frame of ours left in its backtrace,
    // and a program from anywhere but Wine's Windows folder, whatever its name.
    std::string ourProcessOnly;
    for (const std::string& line : output) {
        if (line.find(" (D) ") != std::string::npos || line.find("lumarq-stand-in") == std::string::npos) {
            ourProcessOnly += line + "\n";
        }
    }
    EXPECT_NE(ourProcessOnly.find("lumarq-stand-in.exe"), std::string::npos) << ourProcessOnly;
    EXPECT_FALSE(wineCrashesIn(ourProcessOnly).allWineOwn) << ourProcessOnly;
    const std::string driverHost = "C:\\windows\\system32\\winedevice.exe";
    std::string elsewhere = withoutOurFrames;
    elsewhere.replace(elsewhere.find(driverHost), driverHost.size(), "Z:\\opt\\viewer\\viewer.exe");
    EXPECT_FALSE(wineCrashesIn(elsewhere).allWineOwn) << elsewhere;

    // Recorded: the end of lumarq-1280x720.exe's output when GLFW had freed XInput at its exit
    // while Wine's XInput thread still ran in it. The process is gone before Wine's debugger
    // reports; the run ended with status 0. It fails the run, which is not made again.
    const std::string freedDllFault = "END LOAD OBJECTS: 0\r\nEND MOVE OBJECTS: 0\r\n"
                                      "wine: Unhandled page fault on execute access to 0000000259D937EA at "
                                      "address 0000000259D937EA (thread 0114), starting debugger...\n";
    EXPECT_EQ(wineCrashesIn(freedDllFault).count, 1);
    ::testing::TestPartResultArray atExit;
    {
        const ::testing::ScopedFakeTestPartResultReporter reporter(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &atExit);
        runUnderWine(
            {"/bin/sh", "-c", "echo run >> \"$0\"; printf %s \"$1\" >&2", dir + "/recorded", freedDllFault}, {});
    }
    ASSERT_EQ(atExit.size(), 1);
    EXPECT_NE(std::string(atExit.GetTestPartResult(0).message()).find("1 crash(es) under Wine:\nEND LOAD OBJECTS"),
              std::string::npos)
        << atExit.GetTestPartResult(0).message();
    EXPECT_EQ(outputLines(readFile(dir + "/recorded")), std::vector<std::string>{"run"}) << "run once, not again";
    std::filesystem::remove_all(dir);
}

}  // namespace
