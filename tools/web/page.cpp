// The calls into the page's script, which defines Module.lumarqPage before the program starts.
#include "page.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

namespace {

// clang-format off
EM_JS(void, tellPage, (const char* state, const char* message), {
    Module.lumarqPage(UTF8ToString(state), UTF8ToString(message));
});
// clang-format on

}  // namespace

void pageReadyToStart()
{
    tellPage("start", "");
}

void pageEnded()
{
    tellPage("ended", "");
}

void pageStillReady()
{
    tellPage("still", "");
}

void pageFailed(const std::string& why)
{
    tellPage("failed", why.c_str());
}

void pageNotice(const std::string& what)
{
    tellPage("notice", what.c_str());
}

void pageCanvasSize(int& width, int& height)
{
    emscripten_get_canvas_element_size("#canvas", &width, &height);
}
