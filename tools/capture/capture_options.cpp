// lumarq-capture's command line: one of four modes, each with its output, and the shared options.
#include "capture_options.h"

#include "show_options.h"

#include <algorithm>

namespace {

constexpr int maxFps = 240;

}  // namespace

CommandLineResult parseCaptureOptions(int argc, const char* const* argv, CaptureOptions& options,
                                      std::string& message)
{
    CLI::App app("Renders the running show without a display: stills at show times, a contact sheet of\n"
                 "the camera path, stills from the script's camera poses, or a video with the music.",
                 "lumarq-capture");
    app.footer("Forms:\n"
               "  lumarq-capture --at MS[,MS...] --out DIR [--size WxH] [--fps N] [--keys MS:KEY,...]\n"
               "  lumarq-capture --video FILE.mp4 [--size WxH] [--fps N] [--to MS] [--keys MS:KEY,...]"
               "   (Linux build)\n"
               "  lumarq-capture --sheet FILE.png [--size WxH] [--fps N]\n"
               "  lumarq-capture --poses DIR [--style toon|shadow|bump] [--size WxH]\n");
    CLI::Option* const modes[] = {
        app.add_option("--at", options.atMs, "stills at these show times (ms), written to --out")
            ->delimiter(',')
            ->transform(wholeNumber(0, maxShowMs))
            ->type_name("MS[,MS...]"),
        app.add_option("--video", options.outFile, "an H.264 video of the show with its music (Linux build)")
            ->type_name("FILE.mp4"),
        app.add_option("--sheet", options.outFile,
                       "a contact sheet: start, middle and end of every camera segment")
            ->type_name("FILE.png"),
        app.add_option("--poses", options.outDir, "a still from each camera pose and segment middle")
            ->type_name("DIR"),
    };
    CLI::Option* out = app.add_option("--out", options.outDir, "folder for the --at stills")->type_name("DIR");
    addSizeOption(app, options.width, options.height);
    app.add_option("--fps", options.fps, "frames per second of show time (default 60)")
        ->transform(wholeNumber(1, maxFps))
        ->type_name("N");
    app.add_option("--to", options.toMs, "end of the video in show time (default 88000)")
        ->transform(wholeNumber(1, maxShowMs))
        ->type_name("MS");
    addStyleOption(app, options.style, "style of the --poses stills (default toon)");
    addKeysOption(app, options.keys);
    addQuadContoursOption(app, options.quadContours);

    const CommandLineResult result = parseCommandLine(app, argc, argv, message);
    if (result != CommandLineResult::run) {
        return result;
    }
    const CaptureMode modeOf[] = {CaptureMode::stills, CaptureMode::video, CaptureMode::sheet, CaptureMode::poses};
    int given = 0;
    for (int i = 0; i < 4; ++i) {
        if (modes[i]->count() > 0) {
            options.mode = modeOf[i];
            ++given;
        }
    }
    if (given != 1) {
        message = given == 0 ? "nothing to capture: give one of --at, --video, --sheet and --poses"
                             : "choose one of --at, --video, --sheet and --poses";
        return CommandLineResult::bad;
    }
    if (options.mode == CaptureMode::stills && out->count() == 0) {
        message = "--at needs --out DIR";
        return CommandLineResult::bad;
    }
    std::sort(options.atMs.begin(), options.atMs.end());
    return CommandLineResult::run;
}
