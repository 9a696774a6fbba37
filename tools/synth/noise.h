// Deterministic white noise (xorshift32), seeded per note so that every render is identical.
#pragma once
#include <cstdint>

struct Noise {
    std::uint32_t state = 0x9E3779B9u;
};

inline Noise makeNoise(std::uint32_t seed)
{
    return Noise{seed == 0 ? 0x9E3779B9u : seed};
}

// Uniform in [-1, 1).
inline float nextNoise(Noise& noise)
{
    std::uint32_t x = noise.state;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    noise.state = x;
    return static_cast<float>(static_cast<std::int32_t>(x)) * (1.0f / 2147483648.0f);
}
