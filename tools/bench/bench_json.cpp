// JSON through nlohmann-json, members in the order they are set. Numbers carry the table's
// rounding; the library then writes the shortest form that reads back the same value (43.6 for
// the table's 43.60).
#include "bench_json.h"

#include "bench_report.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace {

using Json = nlohmann::ordered_json;

// Start-up members before the per-model array and after the texture figures.
struct StartupField {
    const char* key;
    double StartupTimes::*value;
};
constexpr StartupField startupHead[] = {
    {"process_to_main_ms", &StartupTimes::processToMain},
    {"sound_and_timeline_ms", &StartupTimes::soundAndTimeline},
    {"window_and_context_ms", &StartupTimes::windowAndContext},
    {"shader_programs_ms", &StartupTimes::shaderPrograms},
};
constexpr StartupField startupTail[] = {
    {"scene_load_ms", &StartupTimes::sceneLoad},
    {"show_start_ms", &StartupTimes::showStart},
    {"first_frame_ms", &StartupTimes::firstFrame},
    {"to_first_frame_ms", &StartupTimes::toFirstFrame},
};
struct ModelField {
    const char* key;
    double (StartupTimes::*values)[benchModelCount];
};
constexpr ModelField modelFields[] = {
    {"read_ms", &StartupTimes::modelRead},
    {"upload_ms", &StartupTimes::modelUpload},
    {"textures_ms", &StartupTimes::modelTextures},
};

// The value as the table prints it with `decimals` places; null when not finite.
Json rounded(double value, int decimals = 2)
{
    if (!std::isfinite(value)) {
        return nullptr;
    }
    char text[64];
    snprintf(text, sizeof text, "%.*f", decimals, value);
    return decimals == 0 ? Json(std::strtoll(text, nullptr, 10)) : Json(std::strtod(text, nullptr));
}

Json summaryJson(const TimingSummary& s)
{
    return {{"count", s.count},         {"median_ms", rounded(s.median)}, {"p95_ms", rounded(s.p95)},
            {"p99_ms", rounded(s.p99)}, {"max_ms", rounded(s.max)},       {"mean_ms", rounded(s.mean)}};
}

Json startupJson(const StartupTimes& s)
{
    Json json;
    for (const StartupField& field : startupHead) {
        json[field.key] = rounded(s.*field.value);
    }
    Json& models = json["models"] = Json::array();
    for (int i = 0; i < benchModelCount; ++i) {
        Json model = {{"object", stageEntries[i].name}};
        for (const ModelField& field : modelFields) {
            model[field.key] = rounded((s.*field.values)[i]);
        }
        models.push_back(model);
    }
    json["textures_ms"] = rounded(s.textures);
    json["texture_count"] = s.textureCount;
    for (const StartupField& field : startupTail) {
        json[field.key] = rounded(s.*field.value);
    }
    return json;
}

}  // namespace

std::string formatJson(const BenchResults& r)
{
    Json json;
    json["variant"] = r.variant;
    json["gl"] = {{"vendor", r.glVendor}, {"renderer", r.glRenderer}, {"version", r.glVersion}};
    json["display"] = {{"width", r.width}, {"height", r.height}};
    json["startup"] = startupJson(r.startup);
    if (r.haveColdStartup) {
        json["startup_cold"] = startupJson(r.coldStartup);
    }
    const double frames = static_cast<double>(r.frameMs.size());
    if (frames > 0) {
        Json& measured = json["frames"];
        measured["warmup"] = r.warmupFrames;
        measured["whole_show"] = summaryJson(summarizeTimings(r.frameMs));
        for (int style = 0; style < showStyleCount; ++style) {
            measured[showStyleNames[style]] = summaryJson(styleSummary(r, static_cast<ShowStyle>(style)));
        }
        if (!r.bareMs.empty()) {
            measured["bare_clear_swap"] = summaryJson(summarizeTimings(r.bareMs));
        }
    }
    if (!r.checkCpuMs[0].empty()) {
        const PassTiming timing = choosePassTiming(r);
        Json& passes = json["passes"];
        passes["source"] = timing.timerQueriesMeaningful ? "gl_timer_query" : "glfinish_cpu";
        passes["timer_over_cpu"] = rounded(timing.agreement);
        passes["check_frames"] = r.checkCpuMs[0].size();
        for (int pass = 0; pass < benchPassCount; ++pass) {
            passes[benchPassNames[pass]] = summaryJson(timing.pass[pass]);
        }
    }
    if (frames > 0) {
        Json& perFrame = json["per_frame"];
        if (r.haveInstructions) {
            perFrame["our_instructions"] = rounded(r.instructionsPerFrame, 0);
            perFrame["instruction_frames"] = r.instructionFrames;
        }
        perFrame["allocations_ours"] = rounded(static_cast<double>(r.allocations.ourNewCalls) / frames);
        perFrame["allocations_new_all"] = rounded(static_cast<double>(r.allocations.newCalls) / frames);
        perFrame["allocations_all"] = rounded(static_cast<double>(r.allocations.mallocCalls) / frames);
    }
    json["peak_rss_mib"] = rounded(r.peakRssMiB);
    if (frames > 0) {
        Json& targets = json["targets"] = Json::array();
        for (const TargetCheck& check : evaluateTargets(r)) {
            Json target = {{"name", check.name}, {"unit", check.unit}, {"limit", rounded(check.limit)}};
            if (check.measured) {
                target["value"] = rounded(check.value);
            }
            target["result"] = !check.measured ? "not measured" : check.pass ? "PASS" : "MISS";
            targets.push_back(target);
        }
    }
    // GL strings come from the driver: anything that is not UTF-8 is replaced, not refused.
    return json.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

bool readStartupJson(const std::string& path, StartupTimes& startup, std::string& error)
{
    std::ifstream file(path);
    if (!file) {
        error = "cannot read " + path;
        return false;
    }
    // The library reports a malformed document, a missing member or a wrong type by throwing.
    try {
        const Json root = Json::parse(file);
        const Json& record = root.at("startup");
        for (const StartupField& field : startupHead) {
            startup.*field.value = record.at(field.key).get<double>();
        }
        const Json& models = record.at("models");
        for (int i = 0; i < benchModelCount; ++i) {
            for (const ModelField& field : modelFields) {
                (startup.*field.values)[i] = models.at(static_cast<size_t>(i)).at(field.key).get<double>();
            }
        }
        startup.textures = record.at("textures_ms").get<double>();
        startup.textureCount = record.at("texture_count").get<int>();
        for (const StartupField& field : startupTail) {
            startup.*field.value = record.at(field.key).get<double>();
        }
    } catch (const Json::exception& failure) {
        error = path + ": no complete \"startup\" record: " + failure.what();
        return false;
    }
    return true;
}
