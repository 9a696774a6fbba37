// A pair of float channels at sampleRate: the mix buses, the effect returns and the final mix.
#pragma once
#include <cstddef>
#include <vector>

struct StereoBuffer {
    std::vector<float> left;
    std::vector<float> right;
};

inline StereoBuffer makeStereoBuffer(std::size_t frames)
{
    return {std::vector<float>(frames, 0.0f), std::vector<float>(frames, 0.0f)};
}

inline std::size_t frameCount(const StereoBuffer& buffer)
{
    return buffer.left.size();
}
