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
#include <utility>
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

// Captures the stills at `times` into a fresh folder, with `extra` options; returns the folder and
// what the capture printed.
std::pair<std::string, std::string> captureStills(const char* times, const std::vector<std::string>& extra = {})
{
    const std::string out = makeTempDir("lumarq-golden");
    std::vector<std::string> argv = captureCommand();
    for (const char* arg : {"--size", goldenSize, "--at", times, "--out"}) {
        argv.push_back(arg);
    }
    argv.push_back(out);
    argv.insert(argv.end(), extra.begin(), extra.end());
    ProcessOptions options;
    const char* runDir = std::getenv("LUMARQ_GOLDEN_RUN_DIR");
    options.workingDirectory = runDir != nullptr ? runDir : LUMARQ_RUN_DIR;
    options.timeoutSeconds = 300;
    const ProcessResult result = runProcess(argv, options);
    EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
    return {out, result.out};
}

// Compares the stills at `times` in `out` with the references: at most `limit` of their pixels
// may differ.
void expectMatchingStills(const std::string& out, const char* times, double limit)
{
    std::istringstream list(times);
    for (std::string time; std::getline(list, time, ',');) {
        SCOPED_TRACE("show time " + time + " ms");
        const Picture reference = loadPicture(goldenDir + "/frame-" + time + ".png");
        ASSERT_GT(reference.width, 0) << "run scripts/update-golden";
        const Picture still = loadPicture(out + "/frame-" + time + ".png");
        ASSERT_EQ(still.width, reference.width);
        ASSERT_EQ(still.height, reference.height);
        EXPECT_LE(differingShare(still, reference, stillPixelThreshold), limit);
    }
}

TEST(GoldenShow, StillsMatchTheReferences)
{
    const auto [out, printed] = captureStills(goldenTimes);
    EXPECT_EQ(printed.find("Contours:"), std::string::npos) << "wide lines draw the contour here";
    expectMatchingStills(out, goldenTimes, stillDifferingLimit);
}

// The contour drawn as quads, as on a driver whose lines are too thin for it, against the
// references drawn with wide lines: toon, shadow and bump stills, and the closing shots with the
// most contour. Measured: at most 171 of the 57600 pixels (0.30%) differ, where the quads'
// edges fall on other pixels than the lines'; a contour missing from an object or drawn on its
// front faces moves many times that.
TEST(GoldenShow, QuadContoursMatchTheLineContours)
{
    constexpr double quadContourDifferingLimit = 0.004;
    const char* const times = "10600,29240,60000,74000";
    const auto [out, printed] = captureStills(times, {"--quad-contours"});
    EXPECT_NE(printed.find("Contours: drawn as quads, as asked\n"), std::string::npos) << printed;
    expectMatchingStills(out, times, quadContourDifferingLimit);
}

}  // namespace
