// The test tone, the wave reader and the MP3 decoding through mpg123.
#include "support/audio.h"

#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

void appendLe(std::string& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
    }
}

uint32_t readLe(const std::string& bytes, size_t at, int count)
{
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
        value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    }
    return value;
}

}  // namespace

bool makeToneMp3(const std::string& mp3Path, const ToneRequest& request)
{
    constexpr double toneHz = 1000.0;
    constexpr double amplitude = 0.5 * 32767.0;
    const int lead = request.rate * request.leadMs / 1000;
    const int tone = request.rate * request.toneMs / 1000;
    const int frames = lead + tone + request.rate * request.tailMs / 1000;
    std::string samples;
    for (int i = 0; i < frames; ++i) {
        double value = 0.0;
        if (i >= lead && i < lead + tone) {
            value = amplitude * std::sin(2.0 * M_PI * toneHz * (i - lead) / request.rate);
        }
        for (int c = 0; c < request.channels; ++c) {
            appendLe(samples, static_cast<uint16_t>(static_cast<int16_t>(std::lround(value))), 2);
        }
    }
    std::string wave = "RIFF";
    appendLe(wave, static_cast<uint32_t>(36 + samples.size()), 4);
    wave += "WAVEfmt ";
    appendLe(wave, 16, 4);
    appendLe(wave, 1, 2);
    appendLe(wave, static_cast<uint32_t>(request.channels), 2);
    appendLe(wave, static_cast<uint32_t>(request.rate), 4);
    appendLe(wave, static_cast<uint32_t>(request.rate * request.channels * 2), 4);
    appendLe(wave, static_cast<uint32_t>(request.channels * 2), 2);
    appendLe(wave, 16, 2);
    wave += "data";
    appendLe(wave, static_cast<uint32_t>(samples.size()), 4);
    wave += samples;
    const std::string wavePath = mp3Path + ".wav";
    writeFile(wavePath, wave);
    std::vector<std::string> argv = {"/usr/bin/lame", "--quiet", "-b", "128"};
    if (request.channels == 1) {
        argv.insert(argv.end(), {"-m", "m"});
    }
    argv.insert(argv.end(), {wavePath, mp3Path});
    ProcessOptions options;
    options.timeoutSeconds = 60.0;
    return runProcess(argv, options).exitStatus == 0;
}

void useNullOutput()
{
    setenv("ALSOFT_DRIVERS", "null", 1);
    unsetenv("ALSOFT_CONF");
}

ProcessOptions waveOutputOptions(const std::string& dir, const std::string& wavePath)
{
    const std::string config = dir + "/alsoft.conf";
    writeFile(config, "[general]\ndrivers=wave\nchannels=stereo\nsample-type=int16\nfrequency=44100\n"
                      "[wave]\nfile=" +
                          wavePath + "\n");
    ProcessOptions options;
    options.workingDirectory = dir;
    options.setEnv = {"ALSOFT_CONF=" + config};
    options.unsetEnv = {"ALSOFT_DRIVERS"};
    options.timeoutSeconds = 60.0;
    return options;
}

WaveFile readWave(const std::string& path)
{
    WaveFile wave;
    const std::string bytes = readFile(path);
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) {
        return wave;
    }
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const std::string id = bytes.substr(at, 4);
        const uint32_t size = readLe(bytes, at + 4, 4);
        const size_t body = at + 8;
        if (id == "fmt " && body + 16 <= bytes.size()) {
            wave.channels = static_cast<int>(readLe(bytes, body + 2, 2));
            wave.rate = static_cast<int>(readLe(bytes, body + 4, 4));
            wave.bits = static_cast<int>(readLe(bytes, body + 14, 2));
        } else if (id == "data") {
            const size_t available = bytes.size() - body;
            wave.sizesFinal = size == available && readLe(bytes, 4, 4) == bytes.size() - 8;
            const size_t used = std::min<size_t>(size, available) / 2 * 2;
            wave.samples.resize(used / 2);
            std::memcpy(wave.samples.data(), bytes.data() + body, used);
            wave.valid = wave.channels > 0 && wave.rate > 0 && wave.bits == 16;
            return wave;
        }
        at = body + size + (size & 1);
    }
    return wave;
}

std::vector<double> windowLevels(const WaveFile& wave, int windowMs)
{
    std::vector<double> levels;
    const size_t frames = wave.samples.size() / static_cast<size_t>(wave.channels);
    const size_t window = static_cast<size_t>(wave.rate * windowMs / 1000);
    for (size_t start = 0; start + window <= frames; start += window) {
        double sum = 0.0;
        for (size_t i = start; i < start + window; ++i) {
            const double s = wave.samples[i * static_cast<size_t>(wave.channels)] / 32768.0;
            sum += s * s;
        }
        levels.push_back(std::sqrt(sum / window));
    }
    return levels;
}

std::vector<int16_t> decodeMp3Start(const std::string& path, int seconds)
{
    constexpr long rate = 44100;
    std::vector<int16_t> samples;
    mpg123_handle* decoder = mpg123_new(nullptr, nullptr);
    if (decoder == nullptr) {
        return samples;
    }
    mpg123_param(decoder, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    mpg123_format_none(decoder);
    mpg123_format(decoder, rate, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open(decoder, path.c_str()) == MPG123_OK) {
        samples.resize(static_cast<size_t>(seconds) * rate * 2);
        size_t filled = 0;
        // The first read only reports the format; keep reading until the buffer is full.
        for (int result = MPG123_OK;
             (result == MPG123_OK || result == MPG123_NEW_FORMAT) && filled < samples.size();) {
            size_t done = 0;
            result = mpg123_read(decoder, reinterpret_cast<unsigned char*>(samples.data() + filled),
                                 (samples.size() - filled) * 2, &done);
            filled += done / 2;
        }
        samples.resize(filled);
        mpg123_close(decoder);
    }
    mpg123_delete(decoder);
    return samples;
}

std::vector<double> mono(const std::vector<int16_t>& stereo)
{
    std::vector<double> result(stereo.size() / 2);
    for (size_t i = 0; i < result.size(); ++i) {
        result[i] = stereo[2 * i] + stereo[2 * i + 1];
    }
    return result;
}

double correlation(const std::vector<double>& a, size_t aFrom, const std::vector<double>& b, size_t bFrom,
                   size_t n)
{
    double ab = 0.0, aa = 0.0, bb = 0.0;
    for (size_t i = 0; i < n; ++i) {
        ab += a[aFrom + i] * b[bFrom + i];
        aa += a[aFrom + i] * a[aFrom + i];
        bb += b[bFrom + i] * b[bFrom + i];
    }
    return aa > 0.0 && bb > 0.0 ? ab / std::sqrt(aa * bb) : 0.0;
}
