// Table and JSON from the same figures, rounded the same way (two decimals for milliseconds),
// so that the two can be checked against each other.
#include "bench_report.h"

#include "json.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

const char* const styleNames[benchStyleCount] = {"toon", "shadow", "bump"};
const char* const passNames[benchPassCount] = {"shadow", "outline", "shaded"};

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

void summaryJson(JsonWriter& json, const char* key, const TimingSummary& s)
{
    json.beginObject(key);
    json.integer("count", s.count);
    json.number("median_ms", s.median);
    json.number("p95_ms", s.p95);
    json.number("p99_ms", s.p99);
    json.number("max_ms", s.max);
    json.number("mean_ms", s.mean);
    json.endObject();
}

void startupJson(JsonWriter& json, const char* key, const StartupTimes& s)
{
    json.beginObject(key);
    json.number("process_to_main_ms", s.processToMain);
    json.number("sound_and_timeline_ms", s.soundAndTimeline);
    json.number("window_and_context_ms", s.windowAndContext);
    json.number("shader_programs_ms", s.shaderPrograms);
    json.beginArray("models");
    for (int i = 0; i < benchModelCount; ++i) {
        json.beginObject();
        json.text("object", stageEntries[i].name);
        json.number("read_ms", s.modelRead[i]);
        json.number("upload_ms", s.modelUpload[i]);
        json.number("textures_ms", s.modelTextures[i]);
        json.endObject();
    }
    json.endArray();
    json.number("textures_ms", s.textures);
    json.integer("texture_count", s.textureCount);
    json.number("scene_load_ms", s.sceneLoad);
    json.number("show_start_ms", s.showStart);
    json.number("first_frame_ms", s.firstFrame);
    json.number("to_first_frame_ms", s.toFirstFrame);
    json.endObject();
}

double sumOf(const double* values, int count)
{
    double sum = 0.0;
    for (int i = 0; i < count; ++i) {
        sum += values[i];
    }
    return sum;
}

bool readNumber(const JsonValue& object, const char* key, double& value)
{
    const JsonValue* member = jsonMember(object, key);
    if (member == nullptr || member->kind != JsonKind::number) {
        return false;
    }
    value = member->number;
    return true;
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

TimingSummary styleSummary(const BenchResults& results, int style)
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
    for (int style = 0; style < benchStyleCount; ++style) {
        const TimingSummary s = styleSummary(results, style);
        add(std::string("median frame, ") + styleNames[style], "ms", targetFrameMs, s.median, s.count > 0);
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
        for (int style = 0; style < benchStyleCount; ++style) {
            summaryRow(out, styleNames[style], styleSummary(r, style));
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
            summaryRow(out, passNames[pass], timing.pass[pass]);
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

std::string formatJson(const BenchResults& r)
{
    JsonWriter json;
    json.beginObject();
    json.text("variant", r.variant);
    json.beginObject("gl");
    json.text("vendor", r.glVendor);
    json.text("renderer", r.glRenderer);
    json.text("version", r.glVersion);
    json.endObject();
    json.beginObject("display");
    json.integer("width", r.width);
    json.integer("height", r.height);
    json.endObject();
    startupJson(json, "startup", r.startup);
    if (r.haveColdStartup) {
        startupJson(json, "startup_cold", r.coldStartup);
    }
    const double frames = static_cast<double>(r.frameMs.size());
    if (frames > 0) {
        json.beginObject("frames");
        json.integer("warmup", r.warmupFrames);
        summaryJson(json, "whole_show", summarizeTimings(r.frameMs));
        for (int style = 0; style < benchStyleCount; ++style) {
            summaryJson(json, styleNames[style], styleSummary(r, style));
        }
        if (!r.bareMs.empty()) {
            summaryJson(json, "bare_clear_swap", summarizeTimings(r.bareMs));
        }
        json.endObject();
    }
    if (!r.checkCpuMs[0].empty()) {
        const PassTiming timing = choosePassTiming(r);
        json.beginObject("passes");
        json.text("source", timing.timerQueriesMeaningful ? "gl_timer_query" : "glfinish_cpu");
        json.number("timer_over_cpu", timing.agreement);
        json.integer("check_frames", static_cast<long long>(r.checkCpuMs[0].size()));
        for (int pass = 0; pass < benchPassCount; ++pass) {
            summaryJson(json, passNames[pass], timing.pass[pass]);
        }
        json.endObject();
    }
    if (frames > 0) {
        json.beginObject("per_frame");
        if (r.haveInstructions) {
            json.number("our_instructions", r.instructionsPerFrame, 0);
            json.integer("instruction_frames", r.instructionFrames);
        }
        json.number("allocations_ours", static_cast<double>(r.allocations.ourNewCalls) / frames);
        json.number("allocations_new_all", static_cast<double>(r.allocations.newCalls) / frames);
        json.number("allocations_all", static_cast<double>(r.allocations.mallocCalls) / frames);
        json.endObject();
    }
    json.number("peak_rss_mib", r.peakRssMiB);
    if (frames > 0) {
        json.beginArray("targets");
        for (const TargetCheck& check : evaluateTargets(r)) {
            json.beginObject();
            json.text("name", check.name);
            json.text("unit", check.unit);
            json.number("limit", check.limit);
            if (check.measured) {
                json.number("value", check.value);
                json.text("result", check.pass ? "PASS" : "MISS");
            } else {
                json.text("result", "not measured");
            }
            json.endObject();
        }
        json.endArray();
    }
    json.endObject();
    return json.out;
}

bool readStartupJson(const std::string& path, StartupTimes& startup, std::string& error)
{
    std::ifstream file(path);
    if (!file) {
        error = "cannot read " + path;
        return false;
    }
    std::stringstream text;
    text << file.rdbuf();
    JsonValue root;
    if (!parseJson(text.str(), root, error)) {
        error = path + ": " + error;
        return false;
    }
    const JsonValue* s = jsonMember(root, "startup");
    const JsonValue* models = s != nullptr ? jsonMember(*s, "models") : nullptr;
    double textureCount = 0.0;
    bool ok =
        s != nullptr && models != nullptr && models->kind == JsonKind::array &&
        models->values.size() == benchModelCount && readNumber(*s, "process_to_main_ms", startup.processToMain) &&
        readNumber(*s, "sound_and_timeline_ms", startup.soundAndTimeline) &&
        readNumber(*s, "window_and_context_ms", startup.windowAndContext) &&
        readNumber(*s, "shader_programs_ms", startup.shaderPrograms) &&
        readNumber(*s, "textures_ms", startup.textures) && readNumber(*s, "texture_count", textureCount) &&
        readNumber(*s, "scene_load_ms", startup.sceneLoad) && readNumber(*s, "show_start_ms", startup.showStart) &&
        readNumber(*s, "first_frame_ms", startup.firstFrame) &&
        readNumber(*s, "to_first_frame_ms", startup.toFirstFrame);
    for (int i = 0; ok && i < benchModelCount; ++i) {
        const JsonValue& model = models->values[static_cast<size_t>(i)];
        ok = readNumber(model, "read_ms", startup.modelRead[i]) &&
             readNumber(model, "upload_ms", startup.modelUpload[i]) &&
             readNumber(model, "textures_ms", startup.modelTextures[i]);
    }
    if (!ok) {
        error = path + ": no complete \"startup\" record";
        return false;
    }
    startup.textureCount = static_cast<int>(textureCount);
    return true;
}
