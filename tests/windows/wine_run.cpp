// Per-run Wine prefixes and ALSA configurations.
#include "wine_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <system_error>
#include <utility>

namespace {

// Wine rewrites a registry file in place when it has more than one link, so a registry shared by
// hard links would be rewritten under every run that shares it, the suite's prefix too. A run that
// read it meanwhile got it cut short ("Malformed key" on standard error, or nothing at all) and
// saved it so, for every later run: a prefix without its services or its debugger's settings.
// Each run has a copy of its own. The same list is in tests/windows/under-wine.
const char* const registryFiles[] = {"system.reg", "user.reg", "userdef.reg"};

std::string alsaConfiguration(WineAudio audio, const std::string& recording)
{
    if (audio == WineAudio::discarded) {
        return "pcm.!default { type null }\n";
    }
    // Raw 16-bit stereo at 44.1 kHz is what the demo opens; the wave header tells what arrived.
    return "pcm.!default {\n  type file\n  slave.pcm \"sink\"\n  file \"" + recording +
           "\"\n  format \"wav\"\n}\npcm.sink { type null }\n";
}

bool startsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

std::string lowerCase(std::string text)
{
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// Whether a module or a program's path names one of ours: every Lumarq program's name starts
// with "lumarq", and Wine's debugger names a module by its file name without ".exe".
bool namesOurs(const std::string& text)
{
    const std::string lower = lowerCase(text);
    const std::string::size_type slash = lower.find_last_of("\\/");
    return startsWith(lower.substr(slash == std::string::npos ? 0 : slash + 1), "lumarq");
}

// Wine's own programs (winedevice.exe, services.exe, plugplay.exe, explorer.exe, ...) run from
// the prefix's Windows folder; ours, and anything else, from elsewhere.
bool isWinesOwnProgram(const std::string& path)
{
    return startsWith(lowerCase(path), "c:\\windows\\") && !namesOurs(path);
}

// One report of winedbg --auto: it is Wine's own when the process it debugged, marked "(D)"
// among the threads, is one of Wine's own programs and no frame of its backtrace is in a module of
// ours. A fault in a process of ours is ours in whatever module it lies, a DLL of Wine's or one
// already unmapped.
bool reportIsWineOwn(const std::vector<std::string>& report)
{
    bool inBacktrace = false;
    bool debuggedSeen = false;
    for (const std::string& line : report) {
        if (startsWith(line, "Backtrace:")) {
            inBacktrace = true;
        } else if (inBacktrace && !line.empty() && line[0] != ' ' && line[0] != '=') {
            inBacktrace = false;
        }
        const std::string::size_type in = line.rfind(" in ");
        if (inBacktrace && in != std::string::npos && namesOurs(line.substr(in + 4))) {
            return false;
        }
        const std::string::size_type debugged = line.find(" (D) ");
        if (debugged != std::string::npos) {
            if (!isWinesOwnProgram(line.substr(debugged + 5))) {
                return false;
            }
            debuggedSeen = true;
        }
    }
    return debuggedSeen;
}

}  // namespace

std::vector<std::string> displaySizes()
{
    std::vector<std::string> sizes;
    std::istringstream list(LUMARQ_DISPLAY_SIZES);
    for (std::string size; std::getline(list, size, ',');) {
        sizes.push_back(size);
    }
    return sizes;
}

ProcessResult compileStandIn(const std::string& exe)
{
    // The compiler of the toolchain whose objdump the suite found.
    std::string compiler = LUMARQ_MINGW_OBJDUMP;
    compiler.replace(compiler.rfind("objdump"), 7, "g++");
    return runProcess(
        {compiler, "-O1", "-static", "-o", exe, std::string(LUMARQ_SOURCE_DIR) + "/tests/windows/stand_in.cpp"},
        {});
}

WineCrashes wineCrashesIn(const std::string& output)
{
    WineCrashes crashes;
    std::vector<std::vector<std::string>> reports;
    size_t unhandled = 0;
    std::istringstream lines(output);
    bool inReport = false;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (startsWith(line, "wine: Unhandled")) {
            ++unhandled;
            inReport = false;
        } else if (startsWith(line, "Unhandled exception:")) {
            reports.emplace_back();
            inReport = true;
        }
        if (inReport) {
            reports.back().push_back(line);
            crashes.reports += line + "\n";
        }
    }
    // A crash whose report is missing or cut off cannot be told apart: it counts as ours.
    crashes.count = static_cast<int>(std::max(unhandled, reports.size()));
    crashes.allWineOwn = crashes.count > 0 && reports.size() == unhandled;
    for (const std::vector<std::string>& report : reports) {
        crashes.allWineOwn = crashes.allWineOwn && reportIsWineOwn(report);
    }
    return crashes;
}

ProcessResult runUnderWine(const std::vector<std::string>& command, const ProcessOptions& options)
{
    ProcessResult result = runProcess(command, options);
    WineCrashes crashes = wineCrashesIn(result.out + "\n" + result.err);
    if (crashes.count > 0 && crashes.allWineOwn) {
        std::cout << "Wine crashed in a process of its own during the run; running it once more. Wine's report:\n"
                  << crashes.reports;
        result = runProcess(command, options);
        crashes = wineCrashesIn(result.out + "\n" + result.err);
    }
    if (crashes.count > 0) {
        ADD_FAILURE() << crashes.count << " crash(es) under Wine" << (crashes.allWineOwn ? ", twice in a row" : "")
                      << ":\n"
                      << (crashes.reports.empty() ? result.out + result.err : crashes.reports);
    }
    return result;
}

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
    // Hard links: no copying, and Wine only reads the prefix's files, but for the registry.
    ProcessOptions copy;
    run.ready = runProcess({"/bin/cp", "-al", LUMARQ_WINE_PREFIX, prefix}, copy).exitStatus == 0;
    for (const char* file : registryFiles) {
        const std::string own = prefix + "/" + file;
        std::error_code error;
        // Unlinked first: copying over the link would write into the suite's prefix.
        run.ready = run.ready && std::filesystem::remove(own, error) &&
                    std::filesystem::copy_file(std::string(LUMARQ_WINE_PREFIX) + "/" + file, own, error);
    }
    run.options.setEnv = {"WINEPREFIX=" + prefix, "WINEDEBUG=-all", std::string("LUMARQ_WINE=") + LUMARQ_WINE};
    std::string disabled = "winepulse.drv";
    if (audio == WineAudio::none) {
        disabled += ",winealsa.drv";
    } else {
        const std::string config = run.dir + "/asound.conf";
        writeFile(config, alsaConfiguration(audio, run.recording()));
        run.options.setEnv.push_back("ALSA_CONFIG_PATH=" + config);
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
