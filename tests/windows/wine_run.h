// Running the cross-built Windows programs under Wine, for the tests of the Windows build and of
// the release packages. Every run gets a prefix of its own, hard-linked from the one that the
// wine_prefix fixture makes at the start of the suite, so runs never share a wineserver, and its
// own audio output through an ALSA configuration of its own.
#pragma once
#include "support/process.h"

#include <string>
#include <vector>

// The demo's display sizes (LUMARQ_DISPLAY_SIZES in CMakeLists.txt): one Windows program each.
inline const std::vector<std::string> displaySizes = {"1280x720", "1280x1024", "1920x1200", "1920x1080"};

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
