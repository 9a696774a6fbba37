// RIFF header followed by interleaved little-endian samples, rounded and clamped.
#include "wav_file.h"

#include "audio_format.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <vector>

static void put16(std::vector<char>& out, std::uint16_t v)
{
    out.push_back(static_cast<char>(v & 0xff));
    out.push_back(static_cast<char>(v >> 8));
}

static void put32(std::vector<char>& out, std::uint32_t v)
{
    put16(out, static_cast<std::uint16_t>(v & 0xffff));
    put16(out, static_cast<std::uint16_t>(v >> 16));
}

bool writeWav(const std::string& path, const StereoBuffer& audio)
{
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(frameCount(audio) * 4);
    std::vector<char> bytes;
    bytes.reserve(44 + dataBytes);
    bytes.insert(bytes.end(), {'R', 'I', 'F', 'F'});
    put32(bytes, 36 + dataBytes);
    bytes.insert(bytes.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(bytes, 16);
    put16(bytes, 1);
    put16(bytes, 2);
    put32(bytes, sampleRate);
    put32(bytes, sampleRate * 4);
    put16(bytes, 4);
    put16(bytes, 16);
    bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
    put32(bytes, dataBytes);
    for (std::size_t i = 0; i < frameCount(audio); ++i) {
        for (float s : {audio.left[i], audio.right[i]}) {
            const long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
            put16(bytes, static_cast<std::uint16_t>(static_cast<std::int16_t>(v)));
        }
    }
    std::ofstream file(path, std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}
