// The title's parts, from the transport, the script's camera segments and the scene's programs.
#include "preview_title.h"

#include "app/scene.h"
#include "app/show_script.h"
#include "show_style.h"
#include "transport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

int cameraSegmentAt(double showMs)
{
    // The timeline's windows are open intervals of whole milliseconds.
    const int ms = static_cast<int>(std::floor(showMs));
    for (int s = 0; s < showSegmentCount; ++s) {
        if (showSegments[s].startMs < ms && ms < showSegments[s].endMs) {
            return s + 1;
        }
    }
    return 0;
}

std::string previewTitle(const Transport& transport, const Scene& scene, double framesPerSecond)
{
    const auto ms = [](double showMs) { return std::to_string(static_cast<int>(std::floor(showMs))); };
    std::string title = "Lumarq preview | " + ms(transport.showMs) + " ms";
    const int segment = cameraSegmentAt(transport.showMs);
    if (!scene.renderer.autoCamera) {
        title += " | free camera";
    } else if (segment > 0) {
        title += " | segment " + std::to_string(segment);
    } else {
        title += " | between segments";
    }
    title += std::string(" | ") + showStyleNames[static_cast<int>(currentShowStyle(scene))];
    if (loopActive(transport)) {
        title += " | loop " + ms(std::max(transport.loopStartMs, 0.0)) + "-" + ms(transport.loopEndMs) + " ms";
    } else if (transport.loopStartMs >= 0.0) {
        title += " | loop from " + ms(transport.loopStartMs) + " ms";
    }
    if (!transport.playing) {
        title += " | paused";
    }
    char rate[32];
    snprintf(rate, sizeof rate, " | %.1f fps", framesPerSecond);
    return title + rate;
}
