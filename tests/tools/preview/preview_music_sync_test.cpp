// The preview's music against its show time: a child process runs the preview in real time with
// its sound going to OpenAL Soft's wave writer, starts in the middle of the show, seeks, pauses
// and plays on, and goes round a loop; wherever the music sounds in the recording, it must be
// within one frame at 60 fps of the show time of that moment.
#include "preview_options.h"
#include "preview_session.h"
#include "support/audio.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string runDir = LUMARQ_RUN_DIR;
constexpr int sampleRate = 44100;
constexpr double frameMs = 1000.0 / 60.0;

// Where the show was set going: from `showMs` at wall time `wallMs`, as known from `sinceMs` on.
struct Anchor {
    double sinceMs;
    double wallMs;
    double showMs;
};

struct Event {
    double wallMs;
    std::string kind;  // start, seek, pause, resume, jump
};

// The child's run: the preview driven through its transport. It notes each event, every change
// of where the show's time is anchored, and every frame how much the wave writer has written.
int runChild(const std::string& wavePath, const std::string& logPath)
{
    PreviewOptions options;
    options.width = 160;
    options.height = 90;
    options.fromMs = 20000;
    PreviewSession session;
    if (!openPreviewSession(session, options)) {
        return 2;
    }
    std::ofstream log(logPath);
    log << std::fixed;
    const Transport& transport = session.transport;
    const auto event = [&](const char* kind) { log << "event " << previewWallMs() << " " << kind << "\n"; };
    double anchoredWall = -1.0;
    const auto playFor = [&](double ms) {
        const double until = previewWallMs() + ms;
        while (previewWallMs() < until) {
            const double before = transport.showMs;
            previewFrame(session);
            const double now = previewWallMs();
            if (transport.playing && transport.showMs < before) {
                event("jump");
            }
            if (transport.playing && transport.anchorWallMs != anchoredWall) {
                anchoredWall = transport.anchorWallMs;
                log << "anchor " << now << " " << anchoredWall << " " << transport.anchorShowMs << "\n";
            }
            struct stat info {};
            if (stat(wavePath.c_str(), &info) == 0) {
                log << "size " << now << " " << info.st_size << "\n";
            }
        }
    };
    event("start");
    playFor(1500.0);
    seekPreview(session, 50000.0);  // a seek while playing
    event("seek");
    playFor(1500.0);
    pausePreview(session);
    event("pause");
    playFor(500.0);
    resumePreview(session);
    event("resume");
    playFor(1500.0);
    seekPreview(session, 60000.0);  // a loop of 700 ms, gone round twice
    runPreviewCommand(session, PreviewCommand::markLoopStart);
    event("seek");
    playFor(700.0);
    runPreviewCommand(session, PreviewCommand::markLoopEnd);
    playFor(1600.0);
    closePreviewSession(session);
    return 0;
}

const int childExit = [] {
    const char* wave = std::getenv("LUMARQ_PREVIEW_SYNC_WAVE");
    if (wave != nullptr) {
        std::exit(runChild(wave, std::getenv("LUMARQ_PREVIEW_SYNC_LOG")));
    }
    return 0;
}();

TEST(PreviewMusicSync, AfterASeekAPauseAndALoopJumpTheMusicIsWithinAFrameOfTheShow)
{
    const std::vector<double> track = mono(decodeMp3Start(runDir + "/mp3/zarathustra2.mp3", 90));
    ASSERT_GT(track.size(), static_cast<size_t>(sampleRate) * 80) << "cannot decode the soundtrack";

    const std::string dir = makeTempDir("lumarq-preview-sync");
    const std::string wavePath = dir + "/out.wav";
    ProcessOptions options = waveOutputOptions(dir, wavePath);
    options.workingDirectory = runDir;
    options.setEnv.push_back("LUMARQ_PREVIEW_SYNC_WAVE=" + wavePath);
    options.setEnv.push_back("LUMARQ_PREVIEW_SYNC_LOG=" + dir + "/log.txt");
    const ProcessResult child = runProcess({"/proc/self/exe"}, options);
    ASSERT_EQ(child.exitStatus, 0) << child.err;

    const WaveFile wave = readWave(wavePath);
    ASSERT_TRUE(wave.valid);
    ASSERT_EQ(wave.rate, sampleRate);
    ASSERT_EQ(wave.channels, 2);
    const std::vector<double> recorded = mono(wave.samples);
    const size_t dataStart = readFile(wavePath).size() - wave.samples.size() * 2;

    // The wave writer writes each block of mixed sound once its time has come, so the earliest
    // wall time less the sound written by then is the wall time of the recording's first sample.
    std::vector<Anchor> anchors;
    std::vector<Event> events;
    double recordingStartMs = 1e300;
    std::istringstream log(readFile(dir + "/log.txt"));
    for (std::string line; std::getline(log, line);) {
        std::istringstream fields(line);
        std::string kind;
        double wall = 0.0;
        fields >> kind >> wall;
        if (kind == "anchor") {
            Anchor anchor{wall, 0.0, 0.0};
            fields >> anchor.wallMs >> anchor.showMs;
            anchors.push_back(anchor);
        } else if (kind == "event") {
            Event event{wall, ""};
            fields >> event.kind;
            events.push_back(event);
        } else if (double bytes = 0.0; fields >> bytes && bytes > dataStart) {
            recordingStartMs = std::min(recordingStartMs, wall - (bytes - dataStart) / 4.0 * 1000.0 / sampleRate);
        }
    }
    ASSERT_GE(std::count_if(events.begin(), events.end(), [](const Event& event) { return event.kind == "jump"; }),
              2)
        << "the loop must have been gone round";
    ASSERT_FALSE(anchors.empty());

    // After each event but a pause until the next event, every 200 ms from 100 ms on, a probe of 4096
    // samples of the recording is found in the soundtrack near where the show time says the music
    // should be.
    const size_t probeLength = 4096;
    const long searchFrames = sampleRate / 10;
    std::map<std::string, double> worstAfter;
    double worstMs = 0.0;
    int probes = 0;
    for (size_t e = 0; e < events.size(); ++e) {
        const double stretchEnd = e + 1 < events.size() ? events[e + 1].wallMs : events[e].wallMs + 1500.0;
        if (events[e].kind == "pause") {
            continue;
        }
        for (double at = events[e].wallMs + 100.0; at + 150.0 < stretchEnd; at += 200.0) {
            const Anchor* anchor = nullptr;
            for (const Anchor& candidate : anchors) {
                if (candidate.sinceMs <= at) {
                    anchor = &candidate;
                }
            }
            const long recordedAt = std::lround((at - recordingStartMs) * sampleRate / 1000.0);
            if (anchor == nullptr || recordedAt < 0 ||
                recordedAt + static_cast<long>(probeLength) > static_cast<long>(recorded.size())) {
                continue;
            }
            const double showMs = anchor->showMs + (at - anchor->wallMs);
            const long expected = std::lround(showMs * sampleRate / 1000.0);
            long found = -1;
            double best = -1.0;
            for (long candidate = std::max(0L, expected - searchFrames);
                 candidate <= expected + searchFrames && candidate + probeLength < track.size(); ++candidate) {
                const double c = correlation(track, candidate, recorded, recordedAt, probeLength);
                if (c > best) {
                    best = c;
                    found = candidate;
                }
            }
            if (best < 0.95) {
                ADD_FAILURE() << "at show time " << showMs << " ms the recording does not hold the music near it"
                              << " (best match " << best << ")";
                continue;
            }
            const double offsetMs = (found - expected) * 1000.0 / sampleRate;
            worstAfter[events[e].kind] = std::max(worstAfter[events[e].kind], std::fabs(offsetMs));
            worstMs = std::max(worstMs, std::fabs(offsetMs));
            ++probes;
        }
    }
    for (const auto& [kind, worst] : worstAfter) {
        printf("worst music offset after %s: %.1f ms\n", kind.c_str(), worst);
    }
    printf("worst music offset over %d probes: %.1f ms\n", probes, worstMs);
    RecordProperty("worst_music_offset_ms", std::to_string(worstMs));
    for (const char* kind : {"start", "seek", "resume", "jump"}) {
        EXPECT_GT(worstAfter.count(kind), 0u) << "no music heard after a " << kind;
    }
    EXPECT_GE(probes, 20);
    EXPECT_LE(worstMs, frameMs);
}

}  // namespace
