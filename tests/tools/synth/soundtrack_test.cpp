// The rendered soundtrack as the demo hears it: the built MP3 decoded by mpg123 (which drops the
// coder's delay and padding by the info frame), checked for length, level, headroom and timing
// against the show script; and the generator checked for byte-identical output.
#include "audio_format.h"
#include "cues.h"
#include "loudness.h"
#include "stereo_buffer.h"
#include "support/process.h"

#include <gtest/gtest.h>
#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

namespace {

const char* const musicPath = "mp3/zarathustra2.mp3";

struct Decoded {
    bool ok = false;
    long rate = 0;
    int channels = 0;
    std::vector<short> samples;  // interleaved
};

Decoded decode(const std::string& path)
{
    Decoded d;
    mpg123_init();
    int err = 0;
    mpg123_handle* h = mpg123_new(nullptr, &err);
    if (h == nullptr) {
        return d;
    }
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0.0);
    mpg123_format_none(h);
    mpg123_format(h, sampleRate, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open(h, path.c_str()) == MPG123_OK) {
        int encoding = 0;
        std::vector<unsigned char> buffer(1 << 16);
        for (;;) {
            size_t got = 0;
            const int r = mpg123_read(h, buffer.data(), buffer.size(), &got);
            const short* s = reinterpret_cast<const short*>(buffer.data());
            d.samples.insert(d.samples.end(), s, s + got / sizeof(short));
            if (r == MPG123_DONE) {
                d.ok = true;
                break;
            }
            if (r != MPG123_OK && r != MPG123_NEW_FORMAT) {
                break;
            }
        }
        mpg123_getformat(h, &d.rate, &d.channels, &encoding);
        mpg123_close(h);
    }
    mpg123_delete(h);
    return d;
}

// Onset strength on a 1 ms grid: energy of the sample-to-sample difference (which favours the
// bright edge of every attack over sustained bass), compared between the 10 ms after and the
// 20 ms before each millisecond, in decades.
struct OnsetCurve {
    std::vector<double> energyPerMs;

    double energy(long fromMs, long toMs) const
    {
        double sum = 0.0;
        for (long m = std::max(0L, fromMs); m < toMs && m < static_cast<long>(energyPerMs.size()); ++m) {
            sum += energyPerMs[m];
        }
        return sum / static_cast<double>(std::max(1L, toMs - fromMs));
    }

    double rise(long ms) const
    {
        return std::log10((energy(ms, ms + 10) + 1e-3) / (energy(ms - 20, ms) + 1e-3));
    }
};

OnsetCurve onsetCurve(const Decoded& d)
{
    const std::size_t perMs = sampleRate / 1000;
    const std::size_t frames = d.samples.size() / 2;
    OnsetCurve curve;
    curve.energyPerMs.assign(frames / perMs + 1, 0.0);
    // 44.1 frames per ms: frame i belongs to ms floor(i * 1000 / rate).
    for (std::size_t i = 1; i < frames; ++i) {
        const double dl = d.samples[2 * i] - d.samples[2 * i - 2];
        const double dr = d.samples[2 * i + 1] - d.samples[2 * i - 1];
        curve.energyPerMs[i * 1000 / sampleRate] += dl * dl + dr * dr;
    }
    return curve;
}

class Soundtrack : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        decoded = new Decoded(decode(musicPath));
        curve = new OnsetCurve(onsetCurve(*decoded));
    }
    static void TearDownTestSuite()
    {
        delete curve;
        delete decoded;
    }
    static Decoded* decoded;
    static OnsetCurve* curve;
};

Decoded* Soundtrack::decoded = nullptr;
OnsetCurve* Soundtrack::curve = nullptr;

TEST_F(Soundtrack, DecodesAsStereoAtTheRenderRateForTheWholePiece)
{
    ASSERT_TRUE(decoded->ok) << "cannot decode " << musicPath;
    EXPECT_EQ(decoded->rate, sampleRate);
    EXPECT_EQ(decoded->channels, 2);
    const double seconds = static_cast<double>(decoded->samples.size()) / 2.0 / sampleRate;
    EXPECT_GE(seconds, 86.0);
    EXPECT_LE(seconds, 92.0);
    // With the coder's delay and padding removed the decode is exactly as long as the render.
    EXPECT_EQ(decoded->samples.size() / 2,
              static_cast<std::size_t>(std::llround(pieceEndMs / 1000.0 * sampleRate)));
}

TEST_F(Soundtrack, StaysBelowFullScaleAndNearTheLoudnessTarget)
{
    ASSERT_TRUE(decoded->ok);
    int peak = 0;
    StereoBuffer audio = makeStereoBuffer(decoded->samples.size() / 2);
    for (std::size_t i = 0; i < decoded->samples.size(); ++i) {
        peak = std::max(peak, std::abs(static_cast<int>(decoded->samples[i])));
        (i % 2 ? audio.right : audio.left)[i / 2] = decoded->samples[i] / 32768.0f;
    }
    // -1 dBFS is 29204 in 16 bits.
    EXPECT_LT(peak, 29204);
    EXPECT_NEAR(integratedLoudness(audio), -16.0, 1.0);
    // Both channels carry sound, and not the same sound.
    double difference = 0.0, sum = 0.0;
    for (std::size_t i = 0; i < frameCount(audio); ++i) {
        difference += std::fabs(audio.left[i] - audio.right[i]);
        sum += std::fabs(audio.left[i] + audio.right[i]);
    }
    EXPECT_GT(difference, 0.05 * sum);
}

TEST_F(Soundtrack, LookChangesAreHeardAsSharpRisesRightOnTheirCues)
{
    ASSERT_TRUE(decoded->ok);
    for (double cue : {shadowStyleMs, bumpStyleMs}) {
        const long t = std::lround(cue);
        long best = t - 100;
        for (long m = t - 100; m <= t + 100; ++m) {
            if (curve->rise(m) > curve->rise(best)) {
                best = m;
            }
        }
        SCOPED_TRACE(cue);
        EXPECT_GE(best, t - 1);
        EXPECT_LE(best, t + 30);
        // At least 15 dB more edge energy just after the hit than just before it (the breath
        // before each hit makes it about 20 dB).
        EXPECT_GT(curve->rise(best), 1.5);
    }
}

TEST_F(Soundtrack, FinaleOnsetsRepeatEveryHundredMillisecondsOnTheHops)
{
    ASSERT_TRUE(decoded->ok);
    const int slots = hopSeriesCount + 4;  // the hops, the fill and the final chord
    auto slotMs = [](int n, long offset) { return std::lround(hopSeriesMs + hopSpacingMs * n) + offset; };
    // The grid's phase as heard: the offset that makes the slots' rises strongest.
    long bestOffset = -50;
    double bestSum = -1e9;
    for (long offset = -50; offset < 50; ++offset) {
        double sum = 0.0;
        for (int n = 0; n < slots; ++n) {
            sum += curve->rise(slotMs(n, offset));
        }
        if (sum > bestSum) {
            bestSum = sum;
            bestOffset = offset;
        }
    }
    EXPECT_GE(bestOffset, -1);
    EXPECT_LE(bestOffset, 5);
    int clear = 0;
    double between = 0.0;
    for (int n = 0; n < slots; ++n) {
        clear += curve->rise(slotMs(n, bestOffset)) > 0.3 ? 1 : 0;
        between += curve->rise(slotMs(n, bestOffset + 50));
    }
    // Nearly every slot is an attack; halfway between slots the sound only decays.
    EXPECT_GE(clear, slots * 9 / 10);
    EXPECT_GT(bestSum / slots, 0.5);
    EXPECT_LT(between / slots, 0.0);
}

// The build's own run of the generator made the run folder's soundtrack: a run in another process,
// with other addresses, another heap and another time, must write the same bytes.
TEST(SoundtrackGenerator, RendersTheSameBytesEveryTime)
{
    const std::string dir = makeTempDir("lumarq-synth");
    ProcessOptions options;
    options.timeoutSeconds = 120.0;
    const std::string out = dir + "/render.mp3";
    const ProcessResult r = runProcess({LUMARQ_SYNTH_PROGRAM, out}, options);
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    const std::string render = readFile(out);
    std::filesystem::remove_all(dir);
    ASSERT_GT(render.size(), 1000000u);
    EXPECT_TRUE(render == readFile(musicPath))
        << "another run wrote other bytes, or the built soundtrack is stale";
}

TEST(SoundtrackGenerator, RefusesAMissingOutputPath)
{
    ProcessOptions options;
    const ProcessResult r = runProcess({LUMARQ_SYNTH_PROGRAM}, options);
    EXPECT_EQ(r.exitStatus, 2);
    EXPECT_NE(r.err.find("usage"), std::string::npos);
}

}  // namespace
