// Piecewise-linear interpolation between the anchors.
#include "tempo_map.h"

#include <cstddef>

static std::size_t spanIndex(const TempoMap& map, double beat)
{
    std::size_t i = 0;
    while (i + 2 < map.anchors.size() && beat >= map.anchors[i + 1].beat) {
        ++i;
    }
    return i;
}

double beatLengthMs(const TempoMap& map, double beat)
{
    if (map.anchors.size() < 2) {
        return 0.0;
    }
    const std::size_t i = spanIndex(map, beat);
    const TempoAnchor& a = map.anchors[i];
    const TempoAnchor& b = map.anchors[i + 1];
    return (b.ms - a.ms) / (b.beat - a.beat);
}

double msAtBeat(const TempoMap& map, double beat)
{
    if (map.anchors.empty()) {
        return 0.0;
    }
    if (map.anchors.size() == 1) {
        return map.anchors[0].ms;
    }
    const TempoAnchor& a = map.anchors[spanIndex(map, beat)];
    return a.ms + (beat - a.beat) * beatLengthMs(map, beat);
}
