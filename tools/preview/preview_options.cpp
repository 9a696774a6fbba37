// Parsing lumarq-preview's arguments with CLI11; every value is checked before a window opens.
#include "preview_options.h"

#include "transport.h"

#include <CLI/CLI.hpp>

#include <cstdlib>

const char* const previewKeys = "Keys (the demo's 1 2 3 0, arrow keys and mouse keep their meaning):\n"
                                "  Space          pause / play (the music too)\n"
                                "  . and ,        one frame forward / back (pauses)\n"
                                "  L and J        1 s forward / back\n"
                                "  Shift+L, J     10 s forward / back\n"
                                "  Home           back to the start\n"
                                "  I and O        set the loop's start / end mark at the current time\n"
                                "  Backspace      clear the loop marks\n"
                                "  Escape         quit\n";

namespace {

constexpr int maxDimension = 8192;
constexpr int minDimension = 16;

bool parseWhole(const std::string& text, long low, long high, long& value)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    value = std::strtol(text.c_str(), nullptr, 10);
    return value >= low && value <= high;
}

}  // namespace

int parsePreviewOptions(int argc, const char* const* argv, PreviewOptions& options, std::string& message)
{
    CLI::App app("Watch any moment of the Lumarq show in a window, with its music: seek, pause, loop a "
                 "section and edit the shaders live.",
                 "lumarq-preview");
    app.footer(previewKeys);
    std::string from;
    std::string size;
    app.add_option("--from", from, "show time to start at, in milliseconds (default 0)")->type_name("MS");
    app.add_option("--size", size, "window size (default 1280x720; with --fullscreen the screen's)")
        ->type_name("WxH");
    app.add_flag("--fullscreen", options.fullscreen, "full screen on the primary monitor");
    app.add_option("--shaders", options.shaderSourceDir,
                   "take the shader files from DIR (e.g. the repository's shader/ folder), copying each "
                   "changed one into shader/ before rebuilding its program")
        ->type_name("DIR");
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        message = app.help();
        return 0;
    } catch (const CLI::ParseError& error) {
        message = std::string("lumarq-preview: ") + error.what() + "\nrun lumarq-preview --help for the options\n";
        return 2;
    }

    long value = 0;
    if (app.count("--from") > 0) {
        if (!parseWhole(from, 0, static_cast<long>(showEndMs), value)) {
            message = "lumarq-preview: --from takes a show time in whole milliseconds from 0 to " +
                      std::to_string(static_cast<int>(showEndMs)) + ", not '" + from + "'\n";
            return 2;
        }
        options.fromMs = static_cast<int>(value);
    }
    if (app.count("--size") > 0) {
        const std::string::size_type x = size.find('x');
        long width = 0;
        long height = 0;
        if (x == std::string::npos || !parseWhole(size.substr(0, x), minDimension, maxDimension, width) ||
            !parseWhole(size.substr(x + 1), minDimension, maxDimension, height)) {
            message = "lumarq-preview: --size takes WIDTHxHEIGHT, each from 16 to 8192, not '" + size + "'\n";
            return 2;
        }
        options.width = static_cast<int>(width);
        options.height = static_cast<int>(height);
        options.sizeGiven = true;
    }
    return -1;
}
