// The show against its reference pictures: stills at show times across it (every style, a hop,
// both switches, the first frames after both camera cuts, the dive under the island, contact
// shadows under the towers, the closing series) must match tests/tools/capture/golden/ within a
// small tolerance.
// A nudged camera pose, a moved toon band or a changed shadow matrix shows up here; when the show
// is changed on purpose, scripts/update-golden makes new references.
//
// LUMARQ_GOLDEN_CAPTURE, when set, is the capture command to test instead of the Linux build's
// (split at blanks, e.g. a Windows build under Wine), run in LUMARQ_GOLDEN_RUN_DIR if that is set.
#include "support/picture.h"
#include "support/process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The times and size of the references; scripts/update-golden reads them from these two lines.
const char* const goldenTimes =
    "5000,10600,18000,21050,29240,36500,38000,39500,40780,45300,48445,60000,74000,80000,85000";
const char* const goldenSize = "320x180";
const std::string goldenDir = std::string(LUMARQ_SOURCE_DIR) + "/tests/tools/capture/golden";

std::vector<std::string> captureCommand()
{
    std::vector<std::string> words;
    if (const char* custom = std::getenv("LUMARQ_GOLDEN_CAPTURE")) {
        std::istringstream in(custom);
        for (std::string word; in >> word;) {
            words.push_back(word);
        }
    } else {
        words.push_back(std::string(LUMARQ_RUN_DIR) + "/lumarq-capture");
    }
    return words;
}

TEST(GoldenShow, StillsMatchTheReferences)
{
    const std::string out = makeTempDir("lumarq-golden");
    std::vector<std::string> argv = captureCommand();
    for (const char* arg : {"--size", goldenSize, "--at", goldenTimes, "--out"}) {
        argv.push_back(arg);
    }
    argv.push_back(out);
    ProcessOptions options;
    const char* runDir = std::getenv("LUMARQ_GOLDEN_RUN_DIR");
    options.workingDirectory = runDir != nullptr ? runDir : LUMARQ_RUN_DIR;
    options.timeoutSeconds = 300;
    const ProcessResult result = runProcess(argv, options);
    ASSERT_EQ(result.exitStatus, 0) << result.out << result.err;

    std::istringstream times(goldenTimes);
    for (std::string time; std::getline(times, time, ',');) {
        SCOPED_TRACE("show time " + time + " ms");
        const Picture reference = loadPicture(goldenDir + "/frame-" + time + ".png");
        ASSERT_GT(reference.width, 0) << "run scripts/update-golden";
        const Picture still = loadPicture(out + "/frame-" + time + ".png");
        ASSERT_EQ(still.width, reference.width);
        ASSERT_EQ(still.height, reference.height);
        EXPECT_LE(differingShare(still, reference, stillPixelThreshold), stillDifferingLimit);
    }
}

}  // namespace
