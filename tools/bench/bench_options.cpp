// lumarq-bench's command line on the tools' shared conventions.
#include "bench_options.h"

#include "show_options.h"

namespace {

// A million frames would take hours on a software renderer: past that it is a typo.
constexpr int maxFrames = 1000000;

}  // namespace

CommandLineResult parseBenchOptions(int argc, const char* const* argv, BenchOptions& options, std::string& message)
{
    CLI::App app("Measures the demo's show path under the virtual clock: start-up, frame and pass times,\n"
                 "instructions, allocations and memory. scripts/bench runs it with a cold shader cache\n"
                 "and under callgrind as well.",
                 "lumarq-bench");
    addSizeOption(app, options.width, options.height);
    app.add_option("--frames", options.frames, "measured frames, spread over the whole show (default 600)")
        ->transform(wholeNumber(1, maxFrames))
        ->type_name("N");
    app.add_option("--warmup", options.warmupFrames,
                   "frames at 60 per second of show before measuring (default 60)")
        ->transform(wholeNumber(0, maxFrames))
        ->type_name("N");
    app.add_option("--json", options.jsonFile, "also write the figures as JSON")->type_name("FILE");
    CLI::Option* callgrind = app.add_flag("--callgrind", options.callgrind,
                                          "switch callgrind's collection on around the measured frames");
    CLI::Option* startupOnly =
        app.add_flag("--startup-only", options.startupOnly, "start-up and the first frame only");
    CLI::Option* style = addStyleOption(app, options.style, "the whole run in this style");
    app.add_flag("--no-shadows", options.noShadows, "leave the shadow depth pass empty");
    app.add_flag("--no-outline", options.noOutline, "draw no contours");
    addQuadContoursOption(app, options.quadContours);
    app.add_option("--line-width", options.lineWidth, "contour line width instead of the renderer's")
        ->transform(decimalNumber(1.0, 64.0))
        ->type_name("W");
    app.add_option("--cold-startup", options.coldStartupFile, "start-up figures of a cold-cache run's JSON")
        ->type_name("FILE");
    CLI::Option* callgrindOut =
        app.add_option("--callgrind-out", options.callgrindFile, "callgrind output of a --callgrind run")
            ->type_name("FILE");
    CLI::Option* callgrindFrames =
        app.add_option("--callgrind-frames", options.callgrindFrames, "the measured frames of that run")
            ->transform(wholeNumber(1, maxFrames))
            ->type_name("N");
    callgrindOut->needs(callgrindFrames);
    callgrindFrames->needs(callgrindOut);
    callgrind->excludes(startupOnly);

    const CommandLineResult result = parseCommandLine(app, argc, argv, message);
    options.forceStyle = style->count() > 0;
    return result;
}
