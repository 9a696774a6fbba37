// The model generator writes the same bytes on every run, and the same files the build put
// into the run folder.
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

TEST(ModelGenerator, TwoRunsWriteIdenticalFiles)
{
    const std::string first = makeTempDir("modelgen-a");
    const std::string second = makeTempDir("modelgen-b");
    ProcessResult a = generate(first);
    ASSERT_EQ(a.exitStatus, 0) << a.err;
    ProcessResult b = generate(second);
    ASSERT_EQ(b.exitStatus, 0) << b.err;

    const std::vector<std::string> names = listFiles(first);
    EXPECT_EQ(names.size(), 8u * 3u + 4u) << "8 models with OBJ, MTL and diffuse PNG; 4 normal maps";
    ASSERT_EQ(names, listFiles(second));
    for (const std::string& name : names) {
        const std::string bytes = readFile(first + "/" + name);
        EXPECT_FALSE(bytes.empty()) << name;
        EXPECT_TRUE(bytes == readFile(second + "/" + name)) << name << " differs between runs";
        EXPECT_TRUE(bytes == readFile("models/" + name)) << name << " differs from the run folder's";
    }
}

TEST(ModelGenerator, FailsWithoutAnOutputFolder)
{
    ProcessOptions options;
    EXPECT_NE(runProcess({LUMARQ_MODELGEN}, options).exitStatus, 0);
    EXPECT_NE(generate("/nonexistent/modelgen/out").exitStatus, 0);
}

}  // namespace
