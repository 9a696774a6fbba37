// lumarq-bench: start-up, frame time per style and per pass, the driver's floor, allocations and
// memory of the demo's real show path under the virtual clock; a table and the same as JSON.
#include "alloc_counter.h"
#include "bench_json.h"
#include "bench_options.h"
#include "bench_report.h"
#include "bench_results.h"
#include "bench_session.h"
#include "callgrind_cost.h"

#include <glad/gl.h>

#include <cstdio>
#include <string>
#include <sys/resource.h>

namespace {

// The executable whose functions callgrind counts as ours: everything of ours is linked into it.
const char* const benchObjectName = "lumarq-bench";
// The interposed allocator is the bench's instrument, not the demo's code; every allocation of
// the GL driver (e.g. LLVM compiling a shader variant) passes through it.
const char* const benchAllocatorSource = "tools/bench/alloc_counter.cpp";

std::string glString(GLenum name)
{
    const GLubyte* text = glGetString(name);
    return text != nullptr ? reinterpret_cast<const char*>(text) : "(unknown)";
}

std::string describeVariant(const BenchOptions& options)
{
    std::string variant;
    const auto add = [&](const std::string& part) { variant += (variant.empty() ? "" : ", ") + part; };
    if (options.forceStyle) {
        add(std::string("style forced to ") + showStyleNames[static_cast<int>(options.style)]);
    }
    if (options.noShadows) {
        add("no shadow draws");
    }
    if (options.noOutline) {
        add("no outline draws");
    }
    if (options.lineWidth > 0.0f) {
        char text[48];
        snprintf(text, sizeof text, "line width %.1f", options.lineWidth);
        add(text);
    }
    if (options.quadContours) {
        add("contours as quads");
    }
    if (options.callgrind) {
        add("callgrind collection");
    }
    return variant.empty() ? "show as scripted" : variant;
}

}  // namespace

int main(int argc, char** argv)
{
    const double mainEntry = benchClock();
    countAllocationsOfThisThread();

    BenchOptions options;
    std::string error;
    const CommandLineResult parsed = parseBenchOptions(argc, argv, options, error);
    if (parsed != CommandLineResult::run) {
        return finishCommandLine("lumarq-bench", parsed, error);
    }

    BenchResults results;
    results.width = options.width;
    results.height = options.height;
    results.variant = describeVariant(options);
    if (!options.coldStartupFile.empty()) {
        if (!readStartupJson(options.coldStartupFile, results.coldStartup, error)) {
            fprintf(stderr, "lumarq-bench: %s\n", error.c_str());
            return 1;
        }
        results.haveColdStartup = true;
    }
    if (!options.callgrindFile.empty()) {
        const CallgrindCost cost =
            callgrindObjectCostOfFile(options.callgrindFile, benchObjectName, {benchAllocatorSource});
        if (!cost.ok) {
            fprintf(stderr, "lumarq-bench: %s: %s\n", options.callgrindFile.c_str(), cost.error.c_str());
            return 1;
        }
        results.haveInstructions = true;
        results.instructionFrames = options.callgrindFrames;
        results.instructionsPerFrame = static_cast<double>(cost.objectSelf) / options.callgrindFrames;
    }

    ToolSession session;
    if (!openBenchSession(session, options, mainEntry, results.startup)) {
        closeToolSession(session);
        return 1;
    }
    results.glVendor = glString(GL_VENDOR);
    results.glRenderer = glString(GL_RENDERER);
    results.glVersion = glString(GL_VERSION);
    if (!options.startupOnly) {
        measureFrames(session, options, results);
    }

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    results.peakRssMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    closeToolSession(session);

    fputs(formatTable(results).c_str(), stdout);
    if (!options.jsonFile.empty()) {
        FILE* file = fopen(options.jsonFile.c_str(), "w");
        const std::string json = formatJson(results);
        if (file == nullptr || fwrite(json.data(), 1, json.size(), file) != json.size() || fclose(file) != 0) {
            fprintf(stderr, "lumarq-bench: cannot write %s\n", options.jsonFile.c_str());
            return 1;
        }
    }
    return 0;
}
