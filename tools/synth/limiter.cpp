// The gain needed at each frame is minimum-filtered over the look-ahead window and then averaged
// over the same window: every frame the average covers still sees that frame's own need, so the
// ceiling holds exactly while the gain moves in straight ramps.
#include "limiter.h"

#include "audio_format.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <vector>

void limitPeaks(StereoBuffer& audio, const LimiterSettings& settings)
{
    const std::size_t frames = frameCount(audio);
    const std::size_t window =
        std::max<std::size_t>(1, static_cast<std::size_t>(settings.lookAheadSeconds * sampleRate));
    std::vector<float> need(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        const float peak = std::max(std::fabs(audio.left[i]), std::fabs(audio.right[i]));
        // One step below the quotient: peak * (ceiling / peak) may round up past the ceiling.
        need[i] = peak > settings.ceiling ? std::nextafter(settings.ceiling / peak, 0.0f) : 1.0f;
    }
    // Minimum of need over [i, i + window), via a monotonic queue of indices.
    std::vector<float> ahead(frames);
    std::deque<std::size_t> queue;
    std::size_t next = 0;
    for (std::size_t i = 0; i < frames; ++i) {
        while (next < frames && next < i + window) {
            while (!queue.empty() && need[queue.back()] >= need[next]) {
                queue.pop_back();
            }
            queue.push_back(next++);
        }
        while (queue.front() < i) {
            queue.pop_front();
        }
        ahead[i] = need[queue.front()];
    }
    // Average of ahead over [i - window + 1, i]; frames before the start count as unity.
    const float releaseFactor = static_cast<float>(std::exp(-1.0 / (settings.releaseSeconds * sampleRate)));
    double sum = static_cast<double>(window);
    float gain = 1.0f;
    for (std::size_t i = 0; i < frames; ++i) {
        sum += ahead[i] - (i >= window ? ahead[i - window] : 1.0f);
        const float average = static_cast<float>(sum / window);
        gain = std::min(average, 1.0f - (1.0f - gain) * releaseFactor);
        // Rounding in the running sum must never let a peak through.
        const float g = std::min(gain, need[i]);
        audio.left[i] *= g;
        audio.right[i] *= g;
    }
}
