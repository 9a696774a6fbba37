// The model generator writes the same files on every run, those the build put into the run
// folder, and takes its command line as the other tools do.
#include <dirent.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/process.h"

namespace {

std::vector<std::string> listFiles(const std::string& directory)
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(directory.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") {
                names.push_back(name);
            }
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

ProcessResult generate(const std::string& directory)
{
    ProcessOptions options;
    options.timeoutSeconds = 120.0;
    return runProcess({LUMARQ_MODELGEN, directory}, options);
}

// The build's own run of the generator filled the run folder: a run in another process, with
// other addresses, another heap and another time, must write the same files byte for byte.
TEST(ModelGenerator, AnotherRunWritesTheRunFoldersFilesByteForByte)
{
    const std::string out = makeTempDir("modelgen");
    ProcessResult run = generate(out);
    ASSERT_EQ(run.exitStatus, 0) << run.err;

    const std::vector<std::string> names = listFiles(out);
    EXPECT_EQ(names.size(), 8u * 3u + 4u) << "8 models with OBJ, MTL and diffuse PNG; 4 normal maps";
    std::vector<std::string> built = listFiles("models");
    built.erase(std::remove(built.begin(), built.end(), LUMARQ_MODELS_STAMP_NAME), built.end());
    ASSERT_EQ(names, built);
    for (const std::string& name : names) {
        const std::string bytes = readFile(out + "/" + name);
        EXPECT_FALSE(bytes.empty()) << name;
        EXPECT_TRUE(bytes == readFile("models/" + name)) << name << " differs from the run folder's";
    }
}

// The tools' command-line conventions: --help, and status 2 with the reason for a bad command line.
TEST(ModelGenerator, TakesOneOutputFolderAndHelp)
{
    ProcessOptions options;
    const ProcessResult help = runProcess({LUMARQ_MODELGEN, "--help"}, options);
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.out.find("output-dir"), std::string::npos) << help.out;
    const ProcessResult none = runProcess({LUMARQ_MODELGEN}, options);
    EXPECT_EQ(none.exitStatus, 2);
    EXPECT_NE(none.err.find("--help"), std::string::npos) << none.err;
    EXPECT_EQ(runProcess({LUMARQ_MODELGEN, "--bogus", "out"}, options).exitStatus, 2);
    EXPECT_NE(generate("/nonexistent/modelgen/out").exitStatus, 0);
}

}  // namespace
