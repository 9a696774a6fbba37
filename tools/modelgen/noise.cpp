// Deterministic pseudo-random numbers and value noise.
#include "noise.h"

#include <cmath>

Rng makeRng(uint64_t seed)
{
    return Rng{seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull};
}

uint64_t nextBits(Rng& rng)
{
    uint64_t z = (rng.state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

float nextFloat(Rng& rng)
{
    return float(nextBits(rng) >> 40) / float(1u << 24);
}

float nextRange(Rng& rng, float lo, float hi)
{
    return lo + (hi - lo) * nextFloat(rng);
}

float hash2(int x, int y, uint32_t seed)
{
    uint32_t h = uint32_t(x) * 0x8DA6B343u ^ uint32_t(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return float(h >> 8) / float(1u << 24);
}

static int wrap(int i, int period)
{
    if (period <= 0) {
        return i;
    }
    int m = i % period;
    return m < 0 ? m + period : m;
}

float valueNoise(glm::vec2 p, uint32_t seed, int period)
{
    float fx = std::floor(p.x), fy = std::floor(p.y);
    int x0 = int(fx), y0 = int(fy);
    float tx = p.x - fx, ty = p.y - fy;
    tx = tx * tx * (3.0f - 2.0f * tx);
    ty = ty * ty * (3.0f - 2.0f * ty);
    int xa = wrap(x0, period), xb = wrap(x0 + 1, period);
    float a = hash2(xa, y0, seed), b = hash2(xb, y0, seed);
    float c = hash2(xa, y0 + 1, seed), d = hash2(xb, y0 + 1, seed);
    float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

float fbm(glm::vec2 p, int octaves, uint32_t seed, int period)
{
    float sum = 0.0f, amplitude = 1.0f, total = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * valueNoise(p, seed + uint32_t(i) * 101u, period);
        total += amplitude;
        amplitude *= 0.5f;
        p *= 2.0f;
        period *= 2;
    }
    return sum / total;
}

float cellDistance(glm::vec2 p, uint32_t seed, int period)
{
    int cx = int(std::floor(p.x)), cy = int(std::floor(p.y));
    float best = 10.0f;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            int x = cx + dx, y = cy + dy;
            int hx = wrap(x, period);
            glm::vec2 point(float(x) + hash2(hx, y, seed), float(y) + hash2(hx, y, seed + 7u));
            float d = std::hypot(p.x - point.x, p.y - point.y);
            if (d < best) {
                best = d;
            }
        }
    }
    return best;
}

CellSample cellSample(glm::vec2 p, uint32_t seed)
{
    int cx = int(std::floor(p.x)), cy = int(std::floor(p.y));
    CellSample sample;
    float nearest = 10.0f, second = 10.0f;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            int x = cx + dx, y = cy + dy;
            glm::vec2 point(float(x) + hash2(x, y, seed), float(y) + hash2(x, y, seed + 7u));
            float d = std::hypot(p.x - point.x, p.y - point.y);
            if (d < nearest) {
                second = nearest;
                nearest = d;
                sample.point = point;
            } else if (d < second) {
                second = d;
            }
        }
    }
    sample.nearest = nearest;
    sample.border = 0.5f * (second - nearest);
    return sample;
}

float valueNoise3(glm::vec3 p, uint32_t seed)
{
    float fz = std::floor(p.z);
    int z0 = int(fz);
    float tz = p.z - fz;
    tz = tz * tz * (3.0f - 2.0f * tz);
    // Two planes of 2D noise, each with a seed of its own, blended along z.
    float a = valueNoise(glm::vec2(p.x, p.y), seed ^ (uint32_t(z0) * 0x9E3779B1u));
    float b = valueNoise(glm::vec2(p.x, p.y), seed ^ (uint32_t(z0 + 1) * 0x9E3779B1u));
    return a + (b - a) * tz;
}

float fbm3(glm::vec3 p, int octaves, uint32_t seed)
{
    float sum = 0.0f, amplitude = 1.0f, total = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * valueNoise3(p, seed + uint32_t(i) * 101u);
        total += amplitude;
        amplitude *= 0.5f;
        p *= 2.0f;
    }
    return sum / total;
}

float smoothstep01(float edge0, float edge1, float x)
{
    float t = (x - edge0) / (edge1 - edge0);
    t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
    return t * t * (3.0f - 2.0f * t);
}
