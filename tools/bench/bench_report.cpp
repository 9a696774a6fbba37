// The judged figures and the printed table (two decimals for milliseconds, as in the JSON).
#include "bench_report.h"

#include <cstdarg>
#include <cstdio>

namespace {

void appendf(std::string& out, const char* format, ...)
{
    char buffer[512];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    out += buffer;
}

void summaryRow(std::string& out, const char* label, const TimingSummary& s)
{
    if (s.count == 0) {
        appendf(out, "  %-30s %7d %9s %9s %9s %9s\n", label, 0, "-", "-", "-", "-");
        return;
    }
    appendf(out, "  %-30s %7d %9.2f %9.2f %9.2f %9.2f\n", label, s.count, s.median, s.p95, s.p99, s.max);
}

double sumOf(const double* values, int count)
{
    double sum = 0.0;
    for (int i = 0; i < count; ++i) {
        sum += values[i];
    }
    return sum;
}

}  // namespace

PassTiming choosePassTiming(const BenchResults& results)
{
    PassTiming timing;
    const size_t checks = results.checkCpuMs[0].size();
    std::vector<double> ratios;
    bool allPositive = checks > 0;
    for (size_t i = 0; i < checks; ++i) {
        double timer = 0.0;
        double cpu = 0.0;
        for (int pass = 0; pass < benchPassCount; ++pass) {
            timer += results.checkTimerMs[pass][i];
            cpu += results.checkCpuMs[pass][i];
            allPositive = allPositive && results.checkTimerMs[pass][i] > 0.0;
        }
        if (cpu > 0.0) {
            ratios.push_back(timer / cpu);
        }
    }
    timing.agreement = summarizeTimings(ratios).median;
    timing.timerQueriesMeaningful =
        allPositive && timing.agreement >= 1.0 / timerAgreementFactor && timing.agreement <= timerAgreementFactor;
    for (int pass = 0; pass < benchPassCount; ++pass) {
        timing.pass[pass] =
            summarizeTimings(timing.timerQueriesMeaningful ? results.passMs[pass] : results.checkCpuMs[pass]);
    }
    return timing;
}

TimingSummary styleSummary(const BenchResults& results, ShowStyle style)
{
    std::vector<double> ms;
    for (size_t i = 0; i < results.frameMs.size(); ++i) {
        if (results.frameStyle[i] == style) {
            ms.push_back(results.frameMs[i]);
        }
    }
    return summarizeTimings(ms);
}

std::vector<TargetCheck> evaluateTargets(const BenchResults& results)
{
    std::vector<TargetCheck> checks;
    const TimingSummary whole = summarizeTimings(results.frameMs);
    const auto add = [&](const std::string& name, const std::string& unit, double limit, double value,
                         bool measured) {
        TargetCheck check;
        check.name = name;
        check.unit = unit;
        check.limit = limit;
        check.value = value;
        check.measured = measured;
        check.pass = measured && value <= limit;
        checks.push_back(check);
    };
    add("median frame, whole show", "ms", targetFrameMs, whole.median, whole.count > 0);
    for (int style = 0; style < showStyleCount; ++style) {
        const TimingSummary s = styleSummary(results, static_cast<ShowStyle>(style));
        add(std::string("median frame, ") + showStyleNames[style], "ms", targetFrameMs, s.median, s.count > 0);
    }
    add("p99 / median, whole show", "x", targetP99OverMedian, whole.median > 0.0 ? whole.p99 / whole.median : 0.0,
        whole.count > 0);
    add("our code per frame", "instr", targetInstructionsPerFrame, results.instructionsPerFrame,
        results.haveInstructions);
    const double frames = static_cast<double>(results.frameMs.size());
    add("allocations per frame (ours)", "allocs", targetAllocationsPerFrame,
        frames > 0 ? static_cast<double>(results.allocations.ourNewCalls) / frames : 0.0, frames > 0);
    add("start-up to first frame (warm)", "ms", targetStartupMs, results.startup.toFirstFrame, true);
    return checks;
}

std::string formatTable(const BenchResults& r)
{
    std::string out;
    appendf(out, "lumarq-bench: %dx%d, %s, %zu measured frames after %d warm-up\n", r.width, r.height,
            r.variant.c_str(), r.frameMs.size(), r.warmupFrames);
    appendf(out, "GL vendor     %s\n", r.glVendor.c_str());
    appendf(out, "GL renderer   %s\n", r.glRenderer.c_str());
    appendf(out, "GL version    %s\n", r.glVersion.c_str());
    appendf(out, "Display size  %dx%d\n", r.width, r.height);

    const StartupTimes& w = r.startup;
    const StartupTimes& c = r.coldStartup;
    appendf(out, "\nStart-up (ms)                          %9s %9s\n", "warm", r.haveColdStartup ? "cold" : "");
    const auto row = [&](const char* label, double warm, double cold) {
        if (r.haveColdStartup) {
            appendf(out, "  %-36s %9.2f %9.2f\n", label, warm, cold);
        } else {
            appendf(out, "  %-36s %9.2f\n", label, warm);
        }
    };
    row("process start to main", w.processToMain, c.processToMain);
    row("sound and timeline", w.soundAndTimeline, c.soundAndTimeline);
    row("window and context", w.windowAndContext, c.windowAndContext);
    row("shader programs (Renderer)", w.shaderPrograms, c.shaderPrograms);
    for (int i = 0; i < benchModelCount; ++i) {
        char label[64];
        snprintf(label, sizeof label, "model %s: read", stageEntries[i].name);
        row(label, w.modelRead[i], c.modelRead[i]);
        snprintf(label, sizeof label, "model %s: upload", stageEntries[i].name);
        row(label, w.modelUpload[i], c.modelUpload[i]);
    }
    char texturesLabel[64];
    snprintf(texturesLabel, sizeof texturesLabel, "textures decoded and uploaded (%d)", w.textureCount);
    row(texturesLabel, w.textures, c.textures);
    row("models read, all", sumOf(w.modelRead, benchModelCount), sumOf(c.modelRead, benchModelCount));
    row("scene load, all", w.sceneLoad, c.sceneLoad);
    row("show start", w.showStart, c.showStart);
    row("first frame", w.firstFrame, c.firstFrame);
    row("process start to first frame", w.toFirstFrame, c.toFirstFrame);

    if (!r.frameMs.empty()) {
        appendf(out, "\nFrame time (ms)                  %7s %9s %9s %9s %9s\n", "frames", "median", "p95", "p99",
                "max");
        summaryRow(out, "whole show", summarizeTimings(r.frameMs));
        for (int style = 0; style < showStyleCount; ++style) {
            summaryRow(out, showStyleNames[style], styleSummary(r, static_cast<ShowStyle>(style)));
        }
        if (!r.bareMs.empty()) {
            summaryRow(out, "bare clear+swap (floor)", summarizeTimings(r.bareMs));
        }
    }

    if (!r.checkCpuMs[0].empty()) {
        const PassTiming timing = choosePassTiming(r);
        appendf(out, "\nPass time (ms, %s) %7s %9s %9s %9s %9s\n",
                timing.timerQueriesMeaningful ? "GL timer queries" : "glFinish-bracketed CPU", "frames", "median",
                "p95", "p99", "max");
        for (int pass = 0; pass < benchPassCount; ++pass) {
            summaryRow(out, benchPassNames[pass], timing.pass[pass]);
        }
        appendf(out, "  timer queries / glFinish-bracketed CPU on %zu check frames: %.2f (%s)\n",
                r.checkCpuMs[0].size(), timing.agreement,
                timing.timerQueriesMeaningful ? "timer queries used" : "timer queries not meaningful here");
    }

    const double frames = static_cast<double>(r.frameMs.size());
    if (frames > 0) {
        appendf(out, "\nPer frame\n");
        if (r.haveInstructions) {
            appendf(out, "  our code (callgrind, %d frames)   %12.0f instructions\n", r.instructionFrames,
                    r.instructionsPerFrame);
        } else {
            appendf(out, "  our code                           not measured (scripts/bench runs callgrind)\n");
        }
        appendf(out, "  allocations, ours (operator new)   %12.2f\n",
                static_cast<double>(r.allocations.ourNewCalls) / frames);
        appendf(out, "  allocations, operator new, all     %12.2f\n",
                static_cast<double>(r.allocations.newCalls) / frames);
        appendf(out, "  allocations, all (malloc)          %12.2f\n",
                static_cast<double>(r.allocations.mallocCalls) / frames);
    }
    appendf(out, "  peak resident memory               %12.2f MiB\n", r.peakRssMiB);

    if (!r.frameMs.empty()) {
        appendf(out, "\nTargets\n");
        for (const TargetCheck& check : evaluateTargets(r)) {
            if (!check.measured) {
                appendf(out, "  %-34s <= %10.2f %-6s %12s  -\n", check.name.c_str(), check.limit,
                        check.unit.c_str(), "not measured");
                continue;
            }
            appendf(out, "  %-34s <= %10.2f %-6s %12.2f  %s\n", check.name.c_str(), check.limit,
                    check.unit.c_str(), check.value, check.pass ? "PASS" : "MISS");
        }
    }
    return out;
}
