// lumarq-preview without a window: the command line, and the transport's show time through
// pause, loop marks, seeks and the end of the show.
#include "preview_options.h"
#include "preview_title.h"
#include "support/process.h"
#include "transport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

CommandLineResult parse(std::vector<const char*> args, PreviewOptions& options, std::string& message)
{
    args.insert(args.begin(), "lumarq-preview");
    return parsePreviewOptions(static_cast<int>(args.size()), args.data(), options, message);
}

TEST(PreviewOptions, TheStartMustLieInTheShowAndFullScreenTakesNoSize)
{
    PreviewOptions options;
    std::string message;
    ASSERT_EQ(parse({"--from", "88500", "--size", "800x450", "--shaders", "../../shader"}, options, message),
              CommandLineResult::run)
        << message;
    EXPECT_EQ(options.fromMs, 88500) << "the show's last moment is in it";
    EXPECT_EQ(options.width, 800);
    EXPECT_EQ(options.height, 450);
    EXPECT_EQ(options.shaderSourceDir, "../../shader");
    for (const char* from : {"abc", "-5", "88501", "12.5"}) {
        EXPECT_EQ(parse({"--from", from}, options, message), CommandLineResult::bad) << from;
        EXPECT_NE(message.find("--from: takes a whole number from 0 to 88500, not " + std::string(from)),
                  std::string::npos)
            << message;
    }
    EXPECT_EQ(parse({"--fullscreen", "--size", "800x450"}, options, message), CommandLineResult::bad);
}

TEST(PreviewOptions, TheProgramPrintsItsKeysOnHelpAndRefusesABadStartBeforeOpeningAWindow)
{
    ProcessOptions options;
    options.workingDirectory = LUMARQ_RUN_DIR;
    options.unsetEnv = {"DISPLAY"};  // a window would fail: the arguments must be refused first
    const std::string program = std::string(LUMARQ_RUN_DIR) + "/lumarq-preview";

    const ProcessResult help = runProcess({program, "--help"}, options);
    EXPECT_EQ(help.exitStatus, 0);
    for (const char* key : {"--from", "Space", "Home", "Backspace", "Shift+L", "I and O"}) {
        EXPECT_NE(help.out.find(key), std::string::npos) << key << " missing from\n" << help.out;
    }
    const ProcessResult bad = runProcess({program, "--from", "ninety"}, options);
    EXPECT_EQ(bad.exitStatus, 2);
    EXPECT_NE(bad.err.find("not ninety"), std::string::npos) << bad.err;
}

TEST(Transport, PausingStopsTheShowTimeSeeksStayInTheShowAndItsEndPauses)
{
    Transport transport;
    seekTransport(transport, 48000.0, 1000.0);
    EXPECT_DOUBLE_EQ(advanceTransport(transport, 1250.0).showMs, 48250.0);
    pauseTransport(transport);
    EXPECT_DOUBLE_EQ(advanceTransport(transport, 9000.0).showMs, 48250.0);
    // Playing on starts from the paused time, not from where the wall clock has got to.
    resumeTransport(transport, 9000.0);
    EXPECT_DOUBLE_EQ(advanceTransport(transport, 9100.0).showMs, 48350.0);

    seekTransport(transport, -1000.0, 0.0);
    EXPECT_DOUBLE_EQ(transport.showMs, 0.0);
    seekTransport(transport, showEndMs - 100.0, 0.0);
    EXPECT_DOUBLE_EQ(advanceTransport(transport, 500.0).showMs, showEndMs);
    EXPECT_FALSE(transport.playing);
    resumeTransport(transport, 600.0);
    EXPECT_DOUBLE_EQ(advanceTransport(transport, 700.0).showMs, 100.0) << "played again from the top";
}

TEST(Transport, FrameStepsMoveOneSixtiethOfASecondAndStayOnTheFrames)
{
    // From a frame's time: exactly onto the frames' times, however many steps.
    double ms = 20000.0;
    for (int step = 0; step < 600; ++step) {
        ms = frameStepFrom(ms, -1);
    }
    EXPECT_EQ(ms, 10000.0);
    for (int step = 0; step < 1200; ++step) {
        ms = frameStepFrom(ms, 1);
    }
    EXPECT_EQ(ms, 30000.0);
    EXPECT_EQ(frameStepFrom(frameStepFrom(5000.0, 1), -1), 5000.0);
    EXPECT_NEAR(frameStepFrom(5000.0, 1), 5000.0 + 1000.0 / 60.0, 1e-9);
    // From between frames (a pause while playing): a sixtieth of a second either way.
    EXPECT_NEAR(frameStepFrom(5007.25, 1), 5007.25 + 1000.0 / 60.0, 1e-9);
    EXPECT_NEAR(frameStepFrom(5007.25, -1), 5007.25 - 1000.0 / 60.0, 1e-9);
}

TEST(Transport, PassingTheEndMarkJumpsBackToTheStartMark)
{
    Transport transport;
    seekTransport(transport, 5000.0, 0.0);
    setLoopStart(transport);
    seekTransport(transport, 6000.0, 0.0);
    setLoopEnd(transport);
    seekTransport(transport, 5500.0, 0.0);
    EXPECT_FALSE(advanceTransport(transport, 400.0).jumped);
    const NextFrame jump = advanceTransport(transport, 520.0);
    EXPECT_TRUE(jump.jumped);
    EXPECT_DOUBLE_EQ(jump.showMs, 5000.0);
    // Round again at the wall clock's pace; after a seek past the end the show plays on.
    EXPECT_DOUBLE_EQ(advanceTransport(transport, 1000.0).showMs, 5480.0);
    EXPECT_TRUE(advanceTransport(transport, 1600.0).jumped);
    seekTransport(transport, 7000.0, 2000.0);
    EXPECT_FALSE(advanceTransport(transport, 2100.0).jumped);

    // A start mark after the end clears the end; an end mark alone loops from the show's start.
    seekTransport(transport, 6500.0, 0.0);
    setLoopStart(transport);
    EXPECT_FALSE(loopActive(transport));
    seekTransport(transport, 3000.0, 0.0);
    setLoopEnd(transport);
    EXPECT_LT(transport.loopStartMs, 0.0);
    seekTransport(transport, 2900.0, 0.0);
    EXPECT_DOUBLE_EQ(advanceTransport(transport, 200.0).showMs, 0.0);
}

TEST(PreviewTitle, CameraSegmentsAreTheScriptsOpenWindows)
{
    EXPECT_EQ(cameraSegmentAt(1.0), 0);
    EXPECT_EQ(cameraSegmentAt(2.0), 1);
    EXPECT_EQ(cameraSegmentAt(12000.0), 0);
    EXPECT_EQ(cameraSegmentAt(53796.5), 0) << "where segments 5 and 6 touch, neither acts";
    EXPECT_EQ(cameraSegmentAt(53797.0), 6);
}

}  // namespace
