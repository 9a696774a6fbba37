// The bench's JSON: members in the table's order, figures rounded as the table prints them, and
// the start-up record read back (the cold column) exactly as it was written, or refused whole.
#include "bench_json.h"
#include "bench_report.h"
#include "support/process.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>

namespace {

using Json = nlohmann::ordered_json;

BenchResults sampleResults()
{
    BenchResults r;
    r.glVendor = "Vendor \"quoted\"";
    r.glRenderer = "renderer";
    r.glVersion = "4.5";
    r.width = 320;
    r.height = 180;
    r.variant = "show as scripted";
    r.startup.processToMain = 12.345678;
    r.startup.shaderPrograms = 0.005;  // rounds to 0.01 or 0.00 as printf does, never 0.005
    for (int i = 0; i < benchModelCount; ++i) {
        r.startup.modelRead[i] = 10.0 + i;
        r.startup.modelUpload[i] = 0.25 * i;
        r.startup.modelTextures[i] = 1.0 / (i + 1);
    }
    r.startup.textures = 470.271;
    r.startup.textureCount = 13;
    r.startup.toFirstFrame = 799.339;
    r.haveColdStartup = true;
    r.coldStartup = r.startup;
    r.coldStartup.shaderPrograms = 23.82;
    r.warmupFrames = 3;
    r.frameMs = {10.0, 20.0, 30.0, 40.004};
    r.frameStyle = {ShowStyle::toon, ShowStyle::toon, ShowStyle::shadow, ShowStyle::bump};
    r.haveInstructions = true;
    r.instructionsPerFrame = 16275.68;
    r.instructionFrames = 200;
    r.peakRssMiB = std::nan("");
    return r;
}

std::string printed(double value)
{
    char text[32];
    snprintf(text, sizeof text, "%.2f", value);
    return text;
}

std::string writeTemp(const std::string& text)
{
    const std::string path = makeTempDir("lumarq-bench-json") + "/bench.json";
    writeFile(path, text);
    return path;
}

}  // namespace

TEST(BenchJson, MembersInOrderAndFiguresRoundedAsTheTablePrintsThem)
{
    const BenchResults results = sampleResults();
    const std::string text = formatJson(results);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    const Json root = Json::parse(text);
    std::vector<std::string> keys;
    for (const auto& member : root.items()) {
        keys.push_back(member.key());
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"variant", "gl", "display", "startup", "startup_cold", "frames",
                                              "per_frame", "peak_rss_mib", "targets"}));
    EXPECT_EQ(root["gl"]["vendor"], "Vendor \"quoted\"");
    EXPECT_EQ(root["startup"].begin().key(), "process_to_main_ms");
    EXPECT_EQ(printed(root["startup"]["process_to_main_ms"].get<double>()), printed(12.345678));
    EXPECT_EQ(printed(root["startup"]["shader_programs_ms"].get<double>()), printed(0.005));
    EXPECT_DOUBLE_EQ(root["startup"]["models"][2]["textures_ms"].get<double>(), 0.33);
    EXPECT_EQ(root["startup"]["models"][8]["object"], stageEntries[8].name);
    EXPECT_EQ(root["startup"]["texture_count"], 13);
    EXPECT_DOUBLE_EQ(root["startup_cold"]["shader_programs_ms"].get<double>(), 23.82);
    EXPECT_EQ(root["frames"]["whole_show"]["count"], 4);
    EXPECT_DOUBLE_EQ(root["frames"]["bump"]["max_ms"].get<double>(), 40.0);
    EXPECT_EQ(root["frames"]["shadow"]["count"], 1);
    // Instructions are whole; a figure that is not a number is null.
    EXPECT_TRUE(root["per_frame"]["our_instructions"].is_number_integer());
    EXPECT_EQ(root["per_frame"]["our_instructions"], 16276);
    EXPECT_TRUE(root["peak_rss_mib"].is_null());
    ASSERT_EQ(root["targets"].size(), evaluateTargets(results).size());
    EXPECT_EQ(root["targets"][0]["name"], "median frame, whole show");
    EXPECT_EQ(root["targets"][0]["result"], "MISS");
    EXPECT_DOUBLE_EQ(root["targets"][0]["limit"].get<double>(), 16.7);
}

TEST(BenchJson, StartupRecordReadsBackAsWritten)
{
    const BenchResults results = sampleResults();
    const std::string path = writeTemp(formatJson(results));
    StartupTimes startup;
    std::string error;
    ASSERT_TRUE(readStartupJson(path, startup, error)) << error;
    EXPECT_EQ(printed(startup.processToMain), printed(results.startup.processToMain));
    EXPECT_EQ(printed(startup.toFirstFrame), printed(results.startup.toFirstFrame));
    EXPECT_EQ(printed(startup.textures), printed(results.startup.textures));
    EXPECT_EQ(startup.textureCount, 13);
    for (int i = 0; i < benchModelCount; ++i) {
        EXPECT_EQ(printed(startup.modelRead[i]), printed(results.startup.modelRead[i])) << i;
        EXPECT_EQ(printed(startup.modelUpload[i]), printed(results.startup.modelUpload[i])) << i;
        EXPECT_EQ(printed(startup.modelTextures[i]), printed(results.startup.modelTextures[i])) << i;
    }
}

TEST(BenchJson, IncompleteOrMalformedStartupRecordsAreRefused)
{
    Json whole = Json::parse(formatJson(sampleResults()));
    Json noModel = whole;
    noModel["startup"]["models"].erase(8);
    Json noKey = whole;
    noKey["startup"].erase("first_frame_ms");
    Json wrongType = whole;
    wrongType["startup"]["models"][3]["read_ms"] = "fast";
    for (const std::string& text :
         {std::string("{\"startup\": {"), std::string("[]"), noModel.dump(), noKey.dump(), wrongType.dump()}) {
        StartupTimes startup;
        std::string error;
        EXPECT_FALSE(readStartupJson(writeTemp(text), startup, error)) << text.substr(0, 200);
        EXPECT_FALSE(error.empty());
    }
    StartupTimes startup;
    std::string error;
    EXPECT_FALSE(readStartupJson("/nonexistent/cold.json", startup, error));
    EXPECT_NE(error.find("/nonexistent/cold.json"), std::string::npos) << error;
}
