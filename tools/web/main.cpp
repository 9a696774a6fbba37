// lumarq-web: the program of the show's web page. The page starts it with its drawing buffer's size
// ("--size WxH") and, for a still, the show time and an optional style ("--at MS --style NAME",
// from index.html?at=MS&style=NAME), or the frames to time ("--bench N", from index.html?bench=N,
// tools/web/web_bench.h). Without either it is the show itself: the demo's start-up, then
// the start screen's click, the music and the frames. A time or style that the page cannot show is
// said on the page: a time that is no number plays the show from its start, a time before the
// show's start shows its first moment, an unknown style the show's own style.
#include "page.h"
#include "show_style.h"
#include "web_bench.h"
#include "web_player.h"
#include "web_still.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool readSize(const char* text, int& width, int& height)
{
    return std::sscanf(text, "%dx%d", &width, &height) == 2 && width > 0 && height > 0;
}

bool readStyle(const std::string& name, ShowStyle& style)
{
    for (int i = 0; i < showStyleCount; ++i) {
        if (name == showStyleNames[i]) {
            style = static_cast<ShowStyle>(i);
            return true;
        }
    }
    return false;
}

// A finite number of milliseconds, the whole text of it.
bool readTime(const char* text, double& ms)
{
    char* end = nullptr;
    ms = std::strtod(text, &end);
    return end != text && *end == '\0' && std::isfinite(ms);
}

}  // namespace

int main(int argc, char** argv)
{
    WebStillSettings still;
    bool stillWanted = false;
    int benchFrames = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        const char* value = argv[i + 1];
        if (option == "--size" && readSize(value, still.width, still.height)) {
            continue;
        }
        if (option == "--at") {
            stillWanted = readTime(value, still.atMs);
            if (!stillWanted) {
                pageNotice(std::string("?at=") + value +
                           " is not a show time: give it in milliseconds from the start, as in ?at=48445. The "
                           "show plays from its start instead.");
            } else if (still.atMs < 0.0) {
                pageNotice(std::string("?at=") + value +
                           " lies before the show's start: this is its first moment.");
                still.atMs = 0.0;
            }
            continue;
        }
        if (option == "--style") {
            if (readStyle(value, still.style)) {
                still.forceStyle = true;
            } else {
                pageNotice(
                    std::string("?style=") + value +
                    " is not one of the show's styles, which are toon, shadow and bump: the still shows the "
                    "style the show has at that moment.");
            }
            continue;
        }
        if (option == "--bench" && std::sscanf(value, "%d", &benchFrames) == 1 && benchFrames > 0) {
            continue;
        }
        fprintf(stderr, "lumarq-web: ignoring %s %s\n", argv[i], value);
    }
    if (benchFrames > 0) {
        return runWebBench(benchFrames, still.width, still.height);
    }
    if (stillWanted) {
        return renderWebStill(still);
    }
    return openWebPlayer(still.width, still.height);
}
