// lumarq-web: the program of the show's web page. The page starts it with the canvas's size
// ("--size WxH") and, for a still, the show time and an optional style ("--at MS --style NAME",
// from index.html?at=MS&style=NAME). Without --at it is the show itself: the demo's start-up, then
// the start screen's click, the music and the frames.
#include "show_style.h"
#include "web_player.h"
#include "web_still.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
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

}  // namespace

int main(int argc, char** argv)
{
    WebStillSettings still;
    bool stillWanted = false;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        const char* value = argv[i + 1];
        if (option == "--size" && readSize(value, still.width, still.height)) {
            continue;
        }
        if (option == "--at") {
            char* end = nullptr;
            still.atMs = std::strtod(value, &end);
            stillWanted = end != value && *end == '\0' && still.atMs >= 0.0;
            if (stillWanted) {
                continue;
            }
        }
        if (option == "--style" && readStyle(value, still.style)) {
            still.forceStyle = true;
            continue;
        }
        fprintf(stderr, "lumarq-web: ignoring %s %s\n", argv[i], value);
    }
    if (stillWanted) {
        return renderWebStill(still);
    }
    return openWebPlayer(still.width, still.height);
}
