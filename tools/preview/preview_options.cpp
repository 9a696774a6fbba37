// lumarq-preview's arguments on the tools' shared command line; every value is checked before a
// window opens.
#include "preview_options.h"

#include "show_options.h"
#include "transport.h"

const char* const previewKeys = "Keys (the demo's 1 2 3 0, arrow keys and mouse keep their meaning):\n"
                                "  Space          pause / play (the music too)\n"
                                "  . and ,        one frame forward / back (pauses)\n"
                                "  L and J        1 s forward / back\n"
                                "  Shift+L, J     10 s forward / back\n"
                                "  Home           back to the start\n"
                                "  I and O        set the loop's start / end mark at the current time\n"
                                "  Backspace      clear the loop marks\n"
                                "  Escape         quit\n";

CommandLineResult parsePreviewOptions(int argc, const char* const* argv, PreviewOptions& options,
                                      std::string& message)
{
    CLI::App app("Watch any moment of the Lumarq show in a window, with its music: seek, pause, loop a\n"
                 "section and edit the shaders live.",
                 "lumarq-preview");
    app.footer(previewKeys);
    app.add_option("--from", options.fromMs, "show time to start at, in milliseconds (default 0)")
        ->transform(wholeNumber(0, static_cast<long>(showEndMs)))
        ->type_name("MS");
    CLI::Option* size = addSizeOption(app, options.width, options.height);
    app.add_flag("--fullscreen", options.fullscreen, "full screen on the primary monitor, at its resolution")
        ->excludes(size);
    app.add_option("--shaders", options.shaderSourceDir,
                   "edit the shader sources in DIR (e.g. ../../shader): each save makes shader/ from them")
        ->type_name("DIR");
    addQuadContoursOption(app, options.quadContours);
    return parseCommandLine(app, argc, argv, message);
}
