// Test audio for the sound tests: short MP3 files made at test time (a 1 kHz tone between two
// stretches of silence, encoded by the lame tool), OpenAL Soft output settings, a reader for the
// wave files that OpenAL Soft's wave writer produces, and the means to find a stretch of a
// decoded MP3 in a recording.
#pragma once
#include "support/process.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct ToneRequest {
    int leadMs = 0;  // silence before the tone
    int toneMs = 500;
    int tailMs = 0;  // silence after it
    int rate = 44100;
    int channels = 2;
};

// Writes the tone as a 16-bit PCM wave file and encodes it to `mp3Path`; false if lame failed.
bool makeToneMp3(const std::string& mp3Path, const ToneRequest& request);

// OpenAL Soft's "null" output: a real device that plays in real time and discards the sound.
// OpenAL Soft reads these once, when the process first uses it.
void useNullOutput();

// Environment for a child process whose output goes to OpenAL Soft's wave writer: a config
// file in `dir` names the backend and the file, and nothing in the environment may override it.
ProcessOptions waveOutputOptions(const std::string& dir, const std::string& wavePath);

struct WaveFile {
    bool valid = false;
    int channels = 0;
    int rate = 0;
    int bits = 0;
    bool sizesFinal = false;       // RIFF and data sizes match the file: the device was closed
    std::vector<int16_t> samples;  // interleaved
};

WaveFile readWave(const std::string& path);

// Loudness of the first channel in windows of `windowMs`, 0 to 1 of full scale.
std::vector<double> windowLevels(const WaveFile& wave, int windowMs);

// A window counts as sounding above this level: the test tone's is about 0.35 (whatever the
// panning of a stereo source does to it), silence is 0.
constexpr double soundingLevel = 0.05;

// The first `seconds` of an MP3 file, decoded as the sound layer decodes it: 44.1 kHz, 16-bit
// stereo, interleaved. Shorter when the file is.
std::vector<int16_t> decodeMp3Start(const std::string& path, int seconds);

// Left plus right, per frame.
std::vector<double> mono(const std::vector<int16_t>& stereo);

// How alike two stretches of n samples are, from -1 to 1, whatever their loudness.
double correlation(const std::vector<double>& a, size_t aFrom, const std::vector<double>& b, size_t bFrom,
                   size_t n);
