// Runs lumarq-bench briefly in a small window: it exits 0, prints its table with every row, and
// writes valid JSON carrying the same figures; --help prints the usage, a bad command line gets
// the reason and status 2. No assertion on speed: the bench measures, it does not judge the machine.
#include "support/process.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <sstream>

namespace {

const std::string benchProgram = std::string(LUMARQ_RUN_DIR) + "/lumarq-bench";

ProcessOptions benchProcess()
{
    ProcessOptions options;
    options.workingDirectory = LUMARQ_RUN_DIR;
    options.setEnv = {"LIBGL_ALWAYS_SOFTWARE=1", "ALSOFT_DRIVERS=null"};
    options.timeoutSeconds = 240.0;
    return options;
}

// The table line that starts with `label` (after its indentation), or "".
std::string tableRow(const std::string& table, const std::string& label)
{
    std::istringstream lines(table);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t start = line.find_first_not_of(' ');
        if (start != std::string::npos && line.compare(start, label.size(), label) == 0 &&
            (line.size() == start + label.size() || line[start + label.size()] == ' ')) {
            return line;
        }
    }
    return "";
}

std::string twoDecimals(double value)
{
    char text[64];
    snprintf(text, sizeof text, "%.2f", value);
    return text;
}

using Json = nlohmann::json;

// The number at a path of member names, e.g. {"frames", "whole_show", "median_ms"}; -1 if absent.
double numberAt(const Json& root, const std::vector<std::string>& path)
{
    const Json* value = &root;
    for (const std::string& key : path) {
        if (!value->is_object() || !value->contains(key)) {
            ADD_FAILURE() << "no " << key;
            return -1.0;
        }
        value = &(*value)[key];
    }
    EXPECT_TRUE(value->is_number()) << path.back();
    return value->is_number() ? value->get<double>() : -1.0;
}

Json readJson(const std::string& path)
{
    const Json root = Json::parse(readFile(path), nullptr, false);
    EXPECT_FALSE(root.is_discarded()) << path << " is not JSON:\n" << readFile(path);
    return root;
}

}  // namespace

TEST(BenchRun, PrintsTheTableAndWritesTheSameFiguresAsJson)
{
    const std::string dir = makeTempDir("lumarq-bench-test");
    const std::string jsonPathName = dir + "/bench.json";
    const ProcessResult run =
        runProcess({benchProgram, "--size", "160x90", "--frames", "12", "--warmup", "3", "--json", jsonPathName},
                   benchProcess());
    ASSERT_FALSE(run.timedOut);
    ASSERT_EQ(run.exitStatus, 0) << run.err;

    for (const char* row : {"GL vendor",
                            "GL renderer",
                            "GL version",
                            "Display size",
                            "window and context",
                            "shader programs (Renderer)",
                            "model background: read",
                            "model goomba2: upload",
                            "first frame",
                            "process start to first frame",
                            "whole show",
                            "toon",
                            "bare clear+swap",
                            "shadow",
                            "outline",
                            "shaded",
                            "allocations, ours (operator new)",
                            "allocations, all (malloc)",
                            "peak resident memory",
                            "median frame, whole show",
                            "p99 / median, whole show",
                            "our code per frame",
                            "allocations per frame (ours)",
                            "start-up to first frame (warm)"}) {
        EXPECT_NE(tableRow(run.out, row), "") << "no row " << row << " in\n" << run.out;
    }
    EXPECT_NE(tableRow(run.out, "Display size").find("160x90"), std::string::npos);

    const Json root = readJson(jsonPathName);
    ASSERT_TRUE(root.is_object());
    EXPECT_EQ(root["gl"]["renderer"].get<std::string>(), tableRow(run.out, "GL renderer").substr(14));
    EXPECT_EQ(numberAt(root, {"display", "width"}), 160.0);
    EXPECT_EQ(numberAt(root, {"frames", "whole_show", "count"}), 12.0);

    const std::string whole = tableRow(run.out, "whole show");
    for (const char* key : {"median_ms", "p95_ms", "p99_ms", "max_ms"}) {
        EXPECT_NE(whole.find(twoDecimals(numberAt(root, {"frames", "whole_show", key}))), std::string::npos)
            << key << " not in: " << whole;
    }
    EXPECT_GT(numberAt(root, {"frames", "whole_show", "median_ms"}), 0.0);
    EXPECT_NE(tableRow(run.out, "bare clear+swap")
                  .find(twoDecimals(numberAt(root, {"frames", "bare_clear_swap", "median_ms"}))),
              std::string::npos);
    for (const char* pass : {"outline", "shaded"}) {
        // The pass rows follow the frame rows; the last row with the label is the pass row.
        const size_t at = run.out.rfind(std::string("\n  ") + pass + " ");
        ASSERT_NE(at, std::string::npos) << pass;
        const std::string row = run.out.substr(at + 1, run.out.find('\n', at + 1) - at - 1);
        EXPECT_NE(row.find(twoDecimals(numberAt(root, {"passes", pass, "median_ms"}))), std::string::npos) << row;
    }
    EXPECT_NE(tableRow(run.out, "process start to first frame")
                  .find(twoDecimals(numberAt(root, {"startup", "to_first_frame_ms"}))),
              std::string::npos);
    EXPECT_NE(tableRow(run.out, "allocations, all (malloc)")
                  .find(twoDecimals(numberAt(root, {"per_frame", "allocations_all"}))),
              std::string::npos);
    EXPECT_GT(numberAt(root, {"startup", "to_first_frame_ms"}), numberAt(root, {"startup", "first_frame_ms"}));

    ASSERT_TRUE(root["targets"].is_array());
    EXPECT_EQ(root["targets"].size(), 8u);
    for (const Json& target : root["targets"]) {
        const std::string name = target["name"].get<std::string>();
        const std::string result = target["result"].get<std::string>();
        const std::string row = tableRow(run.out, name);
        EXPECT_NE(row, "") << name;
        EXPECT_NE(row.find(result == "not measured" ? "not measured" : result), std::string::npos) << row;
    }
}

TEST(BenchRun, StartupRecordFeedsTheColdColumn)
{
    const std::string dir = makeTempDir("lumarq-bench-test");
    const std::string cold = dir + "/cold.json";
    const ProcessResult first =
        runProcess({benchProgram, "--startup-only", "--size", "160x90", "--json", cold}, benchProcess());
    ASSERT_EQ(first.exitStatus, 0) << first.err;
    EXPECT_EQ(tableRow(first.out, "whole show"), "") << "a start-up-only run measures no frames";

    const Json coldRoot = readJson(cold);
    const ProcessResult second =
        runProcess({benchProgram, "--size", "160x90", "--frames", "5", "--warmup", "0", "--cold-startup", cold},
                   benchProcess());
    ASSERT_EQ(second.exitStatus, 0) << second.err;
    const std::string row = tableRow(second.out, "shader programs (Renderer)");
    // warm, then cold: the cold figure is the one the first run wrote.
    const std::string coldValue = twoDecimals(numberAt(coldRoot, {"startup", "shader_programs_ms"}));
    ASSERT_GE(row.size(), coldValue.size());
    EXPECT_EQ(row.substr(row.size() - coldValue.size()), coldValue) << row;
}

TEST(BenchRun, HelpAndBadCommandLines)
{
    const ProcessResult help = runProcess({benchProgram, "--help"}, benchProcess());
    EXPECT_EQ(help.exitStatus, 0);
    for (const char* option : {"Usage: lumarq-bench", "--size", "--frames", "--callgrind-out", "--style"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << option << " not in\n" << help.out;
    }
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--size", "big"}, std::vector<std::string>{"--frames"},
          std::vector<std::string>{"--bogus"}}) {
        std::vector<std::string> argv = {benchProgram};
        argv.insert(argv.end(), args.begin(), args.end());
        const ProcessResult run = runProcess(argv, benchProcess());
        EXPECT_EQ(run.exitStatus, 2) << args[0];
        EXPECT_NE(run.err.find("lumarq-bench: "), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(args[0]), std::string::npos) << "the reason names the option: " << run.err;
        EXPECT_NE(run.err.find("--help"), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
}
