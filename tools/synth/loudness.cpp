// K-weighting (high shelf, then high pass) designed for sampleRate, mean-square per 400 ms block
// with 75 % overlap, then the two gates.
#include "loudness.h"

#include "audio_format.h"

#include <cmath>
#include <vector>

namespace {

struct Biquad {
    double b0, b1, b2, a1, a2;
    double z1 = 0.0, z2 = 0.0;
};

double stepBiquad(Biquad& f, double x)
{
    const double y = f.b0 * x + f.z1;
    f.z1 = f.b1 * x - f.a1 * y + f.z2;
    f.z2 = f.b2 * x - f.a2 * y;
    return y;
}

// The recommendation's pre-filter (a +4 dB shelf above about 1.7 kHz), at any sample rate.
Biquad shelfStage()
{
    const double f0 = 1681.974450955533, gainDb = 3.999843853973347, q = 0.7071752369554196;
    const double k = std::tan(pi * f0 / sampleRate);
    const double vh = std::pow(10.0, gainDb / 20.0);
    const double vb = std::pow(vh, 0.4996667741545416);
    const double a0 = 1.0 + k / q + k * k;
    return {(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
            2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

// The recommendation's high pass near 38 Hz.
Biquad highPassStage()
{
    const double f0 = 38.13547087602444, q = 0.5003270373238773;
    const double k = std::tan(pi * f0 / sampleRate);
    const double a0 = 1.0 + k / q + k * k;
    return {1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

double blockLoudness(double meanSquare)
{
    return -0.691 + 10.0 * std::log10(meanSquare);
}

}  // namespace

double integratedLoudness(const StereoBuffer& audio)
{
    const std::size_t frames = frameCount(audio);
    // Per 100 ms step, the K-weighted energy summed over both channels.
    const std::size_t step = sampleRate / 10;
    std::vector<double> stepEnergy(frames / step, 0.0);
    const std::vector<float>* channels[2] = {&audio.left, &audio.right};
    for (const std::vector<float>* channel : channels) {
        Biquad shelf = shelfStage();
        Biquad highPass = highPassStage();
        for (std::size_t i = 0; i < stepEnergy.size() * step; ++i) {
            const double y = stepBiquad(highPass, stepBiquad(shelf, (*channel)[i]));
            stepEnergy[i / step] += y * y;
        }
    }
    std::vector<double> blocks;
    for (std::size_t s = 0; s + 4 <= stepEnergy.size(); ++s) {
        const double meanSquare =
            (stepEnergy[s] + stepEnergy[s + 1] + stepEnergy[s + 2] + stepEnergy[s + 3]) / (4.0 * step);
        if (meanSquare > 0.0 && blockLoudness(meanSquare) > -70.0) {
            blocks.push_back(meanSquare);
        }
    }
    if (blocks.empty()) {
        return silenceLufs;
    }
    double sum = 0.0;
    for (double b : blocks) {
        sum += b;
    }
    const double relativeGate = blockLoudness(sum / blocks.size()) - 10.0;
    double gatedSum = 0.0;
    std::size_t gatedCount = 0;
    for (double b : blocks) {
        if (blockLoudness(b) > relativeGate) {
            gatedSum += b;
            ++gatedCount;
        }
    }
    return blockLoudness(gatedSum / gatedCount);
}
