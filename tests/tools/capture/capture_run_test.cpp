// lumarq-capture end to end: repeatable stills, the style switch seen in pictures, key presses,
// the contact sheet and a short video with its sound.
#include "support/picture.h"
#include "support/process.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string capture = std::string(LUMARQ_RUN_DIR) + "/lumarq-capture";

ProcessResult runCapture(std::vector<std::string> args)
{
    args.insert(args.begin(), capture);
    ProcessOptions options;
    options.workingDirectory = LUMARQ_RUN_DIR;
    options.timeoutSeconds = 240;
    return runProcess(args, options);
}

// A pixel counts as changed when its channels together move by more than this.
constexpr int noticeable = 24;

TEST(CaptureRun, HelpPrintsTheUsageAndBadArgumentsGiveTheReasonAndStatusTwo)
{
    const ProcessResult help = runCapture({"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    for (const char* text : {"Usage: lumarq-capture", "--at", "--video", "--sheet", "--poses", "--keys"}) {
        EXPECT_NE(help.out.find(text), std::string::npos) << text << " not in\n" << help.out;
    }
    const ProcessResult noOut = runCapture({"--at", "1000"});
    EXPECT_EQ(noOut.exitStatus, 2);
    EXPECT_NE(noOut.err.find("lumarq-capture: --at needs --out"), std::string::npos) << noOut.err;
    EXPECT_NE(noOut.err.find("--help"), std::string::npos) << noOut.err;
    const ProcessResult small = runCapture({"--video", "v.mp4", "--size", "16x16"});
    EXPECT_EQ(small.exitStatus, 2);
    EXPECT_NE(small.err.find("--size"), std::string::npos) << small.err;
}

TEST(CaptureRun, StillsRepeatExactlyAndShowTheShadowSwitch)
{
    const std::string first = makeTempDir("lumarq-capture-a");
    const std::string second = makeTempDir("lumarq-capture-b");
    const std::vector<std::string> common = {"--at", "29200,29300", "--size", "320x180", "--fps", "30"};
    std::vector<std::string> a = common;
    a.insert(a.end(), {"--out", first});
    std::vector<std::string> b = common;
    b.insert(b.end(), {"--out", second});
    ProcessResult ra = runCapture(a);
    ProcessResult rb = runCapture(b);
    ASSERT_EQ(ra.exitStatus, 0) << ra.err;
    ASSERT_EQ(rb.exitStatus, 0) << rb.err;
    for (const char* name : {"/frame-29200.png", "/frame-29300.png"}) {
        const std::string bytesA = readFile(first + name);
        ASSERT_FALSE(bytesA.empty()) << name;
        EXPECT_TRUE(bytesA == readFile(second + name)) << name << " differs between two runs";
    }
    // 29200 is still toon; by 29300 the shadow style has switched on: most of the picture changes.
    const Picture before = loadPicture(first + "/frame-29200.png");
    const Picture after = loadPicture(first + "/frame-29300.png");
    EXPECT_GT(differingShare(before, after, noticeable), 0.2);
}

TEST(CaptureRun, EachTimedStyleSwitchShowsFromTheFrameAfterItsTime)
{
    // At 60 frames a second the frames around the switches at 29222.751 and 48428.143 ms fall at
    // 29216.7, 29233.3, 29250 and 48416.7, 48433.3, 48450 ms: the first frame at or past each
    // switch still shows the old style (the switch comes after the swap), the next one the new.
    // So a still at 29233 ms shows the old style and one at 29234 ms, which the frame at
    // 29233.3 ms precedes, the new: the same picture as with the style's key pressed earlier.
    const std::string plain = makeTempDir("lumarq-capture-timed");
    const std::string keyed = makeTempDir("lumarq-capture-early");
    const std::vector<std::string> common = {"--at", "29233,29234,48433,48434", "--size", "160x90", "--fps", "60"};
    std::vector<std::string> a = common;
    a.insert(a.end(), {"--out", plain});
    std::vector<std::string> b = common;
    b.insert(b.end(), {"--keys", "29200:2,48400:3", "--out", keyed});
    const ProcessResult ra = runCapture(a);
    const ProcessResult rb = runCapture(b);
    ASSERT_EQ(ra.exitStatus, 0) << ra.err;
    ASSERT_EQ(rb.exitStatus, 0) << rb.err;
    for (const char* before : {"29233", "48433"}) {
        const std::string name = std::string("/frame-") + before + ".png";
        EXPECT_GT(differingShare(loadPicture(plain + name), loadPicture(keyed + name), noticeable), 0.01)
            << "at " << before << " ms the style must not have switched yet";
    }
    for (const char* after : {"29234", "48434"}) {
        const std::string name = std::string("/frame-") + after + ".png";
        EXPECT_EQ(differingShare(loadPicture(plain + name), loadPicture(keyed + name)), 0.0)
            << "at " << after << " ms the style must have switched";
    }
}

TEST(CaptureRun, StillsGoToAFolderThatDoesNotExistYet)
{
    const std::string dir = makeTempDir("lumarq-capture-nested") + "/a/b";
    ProcessResult result = runCapture({"--at", "0", "--size", "64x64", "--out", dir});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(loadPicture(dir + "/frame-0.png").width, 64);
}

TEST(CaptureRun, AKeyPressSwitchesTheStyleAtItsTime)
{
    const std::string plain = makeTempDir("lumarq-capture-plain");
    const std::string keyed = makeTempDir("lumarq-capture-keyed");
    ProcessResult rp = runCapture({"--at", "3000", "--size", "320x180", "--fps", "30", "--out", plain});
    ProcessResult rk =
        runCapture({"--at", "3000", "--size", "320x180", "--fps", "30", "--keys", "2000:2", "--out", keyed});
    ASSERT_EQ(rp.exitStatus, 0) << rp.err;
    ASSERT_EQ(rk.exitStatus, 0) << rk.err;
    EXPECT_GT(
        differingShare(loadPicture(plain + "/frame-3000.png"), loadPicture(keyed + "/frame-3000.png"), noticeable),
        0.2);
}

TEST(CaptureRun, ContactSheetHasAThumbnailRowPerSegment)
{
    const std::string dir = makeTempDir("lumarq-capture-sheet");
    ProcessResult result = runCapture({"--sheet", dir + "/sheet.png", "--size", "320x180", "--fps", "10"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const Picture sheet = loadPicture(dir + "/sheet.png");
    // Three 320x180 thumbnails across, ten rows of label and thumbnail down.
    EXPECT_EQ(sheet.width, 8 + 3 * (320 + 8));
    EXPECT_EQ(sheet.height, 8 + 10 * (20 + 180 + 8));
}

// What ffprobe says of a stream of the file: "<codec_type> <frames> <duration>" per stream.
std::string probeStreams(const std::string& video)
{
    ProcessOptions options;
    const ProcessResult probe =
        runProcess({"/usr/bin/ffprobe", "-v", "error", "-count_frames", "-show_entries",
                    "stream=codec_type,nb_read_frames,duration", "-of", "csv=p=0:nk=1", video},
                   options);
    EXPECT_EQ(probe.exitStatus, 0) << probe.err;
    return probe.out;
}

struct StreamInfo {
    long frames = -1;
    double seconds = -1.0;
};

StreamInfo streamOf(const std::string& probed, const std::string& type)
{
    // Lines of "codec_type,duration,nb_read_frames".
    StreamInfo info;
    std::istringstream lines(probed);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(type + ",", 0) == 0) {
            std::sscanf(line.c_str() + type.size() + 1, "%lf,%ld", &info.seconds, &info.frames);
        }
    }
    return info;
}

// Frame `index` of the video as a picture.
Picture videoFrame(const std::string& video, int index, const std::string& png)
{
    ProcessOptions options;
    const ProcessResult extracted =
        runProcess({"/usr/bin/ffmpeg", "-v", "error", "-y", "-i", video, "-vf",
                    "select=eq(n\\," + std::to_string(index) + ")", "-vframes", "1", png},
                   options);
    EXPECT_EQ(extracted.exitStatus, 0) << extracted.err;
    return loadPicture(png);
}

TEST(CaptureRun, VideosAtRatesThatDoNotDivideASecondShowEachFramesTimeAndEndWithTheirMusic)
{
    if (std::system("command -v ffprobe > /dev/null 2>&1") != 0) {
        GTEST_SKIP() << "ffmpeg is not installed";
    }
    // The camera cuts to a new framing at 21038 ms: a video that ends just after it holds the last
    // frame of the old framing and the first of the new, each of which must be the still of its
    // frame's time. A frame time off by a frame or more in either direction puts the cut a frame
    // early or late.
    struct Case {
        int fps;
        int toMs;
        int lastIndex;    // floor(toMs * fps / 1000)
        int beforeCutMs;  // the time of frame lastIndex - 1 and of lastIndex, to the millisecond
        int afterCutMs;
    };
    for (const Case c : {Case{60, 21050, 1263, 21033, 21050}, Case{30, 21067, 632, 21033, 21066}}) {
        SCOPED_TRACE(std::to_string(c.fps) + " frames a second");
        const std::string dir = makeTempDir("lumarq-capture-rate");
        const std::string video = dir + "/show.mp4";
        const std::string fps = std::to_string(c.fps);
        const ProcessResult made =
            runCapture({"--video", video, "--size", "160x90", "--fps", fps, "--to", std::to_string(c.toMs)});
        ASSERT_EQ(made.exitStatus, 0) << made.err;
        const ProcessResult stills =
            runCapture({"--at", std::to_string(c.beforeCutMs) + "," + std::to_string(c.afterCutMs), "--size",
                        "160x90", "--fps", fps, "--out", dir});
        ASSERT_EQ(stills.exitStatus, 0) << stills.err;

        const std::string probed = probeStreams(video);
        const StreamInfo picture = streamOf(probed, "video");
        const StreamInfo sound = streamOf(probed, "audio");
        EXPECT_EQ(picture.frames, c.lastIndex + 1) << probed;
        EXPECT_NEAR(picture.seconds, (c.lastIndex + 1.0) / c.fps, 0.001) << probed;
        // The music is cut with the picture: within a frame and one AAC block of 1024 samples.
        EXPECT_NEAR(sound.seconds, picture.seconds, 1.0 / c.fps + 1024.0 / 44100.0) << probed;

        // Against the lossy encoding, a generous threshold; a cut moves most of the picture.
        const Picture before = loadPicture(dir + "/frame-" + std::to_string(c.beforeCutMs) + ".png");
        const Picture after = loadPicture(dir + "/frame-" + std::to_string(c.afterCutMs) + ".png");
        ASSERT_GT(differingShare(before, after, 96), 0.3) << "the stills should show the cut";
        EXPECT_LT(differingShare(videoFrame(video, c.lastIndex - 1, dir + "/before.png"), before, 96), 0.05)
            << "the frame before the cut";
        EXPECT_LT(differingShare(videoFrame(video, c.lastIndex, dir + "/after.png"), after, 96), 0.05)
            << "the frame after the cut";
    }
}

}  // namespace
