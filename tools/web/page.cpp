// The calls into the page's script, which defines Module.lumarqPage before the program starts.
#include "page.h"

#include <emscripten/emscripten.h>

namespace {

// clang-format off
EM_JS(void, tellPage, (const char* state, const char* message), {
    Module.lumarqPage(UTF8ToString(state), UTF8ToString(message));
});
EM_JS(int, drawingBufferWidth, (), {
    return GLctx ? GLctx.drawingBufferWidth : Module.canvas.width;
});
EM_JS(int, drawingBufferHeight, (), {
    return GLctx ? GLctx.drawingBufferHeight : Module.canvas.height;
});
// A context that the browser's autoplay rules keep from starting stays suspended (1); one that
// the system took is interrupted (2).
EM_JS(int, audioContextState, (), {
    var context = AL.currentCtx && AL.currentCtx.audioCtx;
    return !context ? 0 : context.state === 'suspended' ? 1 : context.state === 'interrupted' ? 2 : 0;
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

void pageWaitingForTextures(bool waiting)
{
    tellPage("waiting", waiting ? "on" : "off");
}

void pageDrawingBufferSize(int& width, int& height)
{
    width = drawingBufferWidth();
    height = drawingBufferHeight();
}

PageAudio pageAudioState()
{
    switch (audioContextState()) {
    case 1: return PageAudio::blocked;
    case 2: return PageAudio::interrupted;
    default: return PageAudio::none;
    }
}
