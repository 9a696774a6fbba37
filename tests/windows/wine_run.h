// Running the cross-built Windows programs under Wine, for the tests of the Windows build and of
// the release packages. Every run gets a prefix of its own, hard-linked from the one that the
// wine_prefix fixture makes at the start of the suite, so runs never share a wineserver, and its
// own audio output through an ALSA configuration of its own.
#pragma once
#include "support/process.h"

#include <string>
#include <vector>

// The display sizes that the build makes a demo program for (LUMARQ_DISPLAY_SIZES), one Windows
// program each: the Windows folder and zip must hold every one of them.
std::vector<std::string> displaySizes();

enum class WineAudio {
    none,       // Wine's audio drivers are off: the programs find no output device
    discarded,  // ALSA's null device takes the sound
    recorded,   // ALSA's file plugin writes the sound to recording()
};

// Removed with everything in it when the run is done.
struct WineRun {
    std::string dir;         // the run's own folder, with its prefix and ALSA configuration
    ProcessOptions options;  // Wine's environment; the caller adds the working directory
    bool ready = false;      // the prefix could be made

    WineRun() = default;
    WineRun(WineRun&& other) noexcept;
    WineRun(const WineRun&) = delete;
    WineRun& operator=(const WineRun&) = delete;
    ~WineRun();

    std::string recording() const
    {
        return dir + "/wine-audio.wav";
    }
};

WineRun prepareWineRun(WineAudio audio);

// The command line that runs a Windows program under Wine in the run's prefix.
std::vector<std::string> underWine(const std::string& program, const std::vector<std::string>& args = {});

// Compiles tests/windows/stand_in.cpp, a stand-in for a Windows program of ours, into `exe` with
// the mingw-w64 toolchain; the compiler's result.
ProcessResult compileStandIn(const std::string& exe);

// The crashes that Wine reported in a run's output: a "wine: Unhandled ..." line on standard
// error for each, and its debugger's report (winedbg --auto: the backtrace, the modules and the
// threads), which lands on either stream.
struct WineCrashes {
    int count = 0;
    // Every one is Wine's own: its report is complete and shows a program from Wine's Windows
    // folder (a driver host, a service) crashing with no frame of a Lumarq module. Anything else
    // counts as ours: a crash in a Lumarq process, in whatever module, or one without a report.
    bool allWineOwn = false;
    std::string reports;  // the debugger's reports, for the test's log
};

WineCrashes wineCrashesIn(const std::string& output);

// Runs `command` (underWine, maybe inside untilEscape) and returns its result. When Wine crashed
// in a process of its own meanwhile, it says so on standard output and runs the command once
// more; any other crash fails the test, and the result stays for the test to judge as well.
ProcessResult runUnderWine(const std::vector<std::string>& command, const ProcessOptions& options);
