// Per-run Wine prefixes and ALSA configurations.
#include "wine_run.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace {

// GLFW loads XInput for joysticks and unloads it again in glfwTerminate; Wine 8's XInput keeps a
// thread of its own running past that, which then faults in the unmapped DLL while the process
// exits ("Unhandled page fault on execute access" in xinput1_4.dll, now and then, mostly on a
// busy machine). Windows' own XInput does not do that; Wine runs the programs without it. The
// same list is in tests/windows/under-wine.
const char* const wineWithoutXInput = "xinput1_1,xinput1_2,xinput1_3,xinput1_4,xinput9_1_0";

std::string alsaConfiguration(WineAudio audio, const std::string& recording)
{
    if (audio == WineAudio::discarded) {
        return "pcm.!default { type null }\n";
    }
    // Raw 16-bit stereo at 44.1 kHz is what the demo opens; the wave header tells what arrived.
    return "pcm.!default {\n  type file\n  slave.pcm \"sink\"\n  file \"" + recording +
           "\"\n  format \"wav\"\n}\npcm.sink { type null }\n";
}

}  // namespace

WineRun::WineRun(WineRun&& other) noexcept
    : dir(std::move(other.dir)), options(std::move(other.options)), ready(other.ready)
{
    other.dir.clear();
}

WineRun::~WineRun()
{
    if (!dir.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
}

WineRun prepareWineRun(WineAudio audio)
{
    WineRun run;
    run.dir = makeTempDir("lumarq-wine");
    const std::string prefix = run.dir + "/prefix";
    // Hard links: no copying, and Wine replaces rather than rewrites the files it changes.
    ProcessOptions copy;
    run.ready = runProcess({"/bin/cp", "-al", LUMARQ_WINE_PREFIX, prefix}, copy).exitStatus == 0;
    run.options.setEnv = {"WINEPREFIX=" + prefix, "WINEDEBUG=-all", std::string("LUMARQ_WINE=") + LUMARQ_WINE};
    std::string disabled = wineWithoutXInput;
    if (audio == WineAudio::none) {
        disabled += ",winealsa.drv,winepulse.drv";
    } else {
        const std::string config = run.dir + "/asound.conf";
        writeFile(config, alsaConfiguration(audio, run.recording()));
        run.options.setEnv.push_back("ALSA_CONFIG_PATH=" + config);
        disabled += ",winepulse.drv";
    }
    run.options.setEnv.push_back("WINEDLLOVERRIDES=" + disabled + "=d");
    run.options.timeoutSeconds = 180;
    return run;
}

std::vector<std::string> underWine(const std::string& program, const std::vector<std::string>& args)
{
    std::vector<std::string> argv = {std::string(LUMARQ_SOURCE_DIR) + "/tests/windows/under-wine", program};
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
}
