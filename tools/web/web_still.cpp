// Stepping the show to a still through the tools' session library, as the capture does, and
// drawing it once its textures are in.
#include "web_still.h"

#include "graphics_rebuild.h"
#include "page.h"
#include "show_length.h"
#include "texture_wait.h"
#include "tool_session.h"

#include <GLFW/glfw3.h>
#include <emscripten/emscripten.h>

#include <cstdio>
#include <string>

namespace {

struct WebStill {
    ToolSession session;
    double atMs = 0.0;
    bool waiting = false;
    bool open = false;    // the show is stepped to the still's time
    bool framed = false;  // the still's frame has begun: drawing again draws the same picture
};

// Kept for the page's lifetime: the still stays on the canvas, and the context with it.
WebStill still;

// Each animation frame until the textures are in; then the still's frame, once. The frame is
// not ended: that would apply the keys and the style switch due at this time, which the still's
// picture does not show, and drawing it again (a resize, a restored context) would.
void drawWhenTexturesArrived()
{
    ToolSession& session = still.session;
    if (!sceneTexturesArrived(*session.scene)) {
        if (!still.waiting) {
            still.waiting = true;
            pageWaitingForTextures(true);
        }
        return;
    }
    emscripten_cancel_main_loop();
    if (still.waiting) {
        still.waiting = false;
        pageWaitingForTextures(false);
    }
    Renderer& renderer = session.scene->renderer;
    pageDrawingBufferSize(renderer.viewportWidth, renderer.viewportHeight);
    if (!still.framed) {
        beginToolFrame(session, still.atMs);
        still.framed = true;
    }
    session.scene->render();
    glfwSwapBuffers(session.window);
    pageStillReady();
}

void drawStill()
{
    emscripten_cancel_main_loop();
    emscripten_set_main_loop(drawWhenTexturesArrived, 0, false);
}

std::string milliseconds(double ms)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%.0f ms", ms);
    return text;
}

}  // namespace

int renderWebStill(const WebStillSettings& settings)
{
    ToolSessionSettings sessionSettings;
    sessionSettings.program = "lumarq-web";
    sessionSettings.width = settings.width;
    sessionSettings.height = settings.height;
    ToolSession& session = still.session;
    if (!openToolSession(session, sessionSettings)) {
        pageFailed(session.scene != nullptr ? session.scene->loadFailure : "The show could not open WebGL 2.");
        closeToolSession(session);
        return 1;
    }
    // Never more frames than the show has.
    const double lengthMs = showLengthMs(session.show->music);
    still.atMs = settings.atMs;
    if (still.atMs > lengthMs) {
        still.atMs = lengthMs;
        pageNotice("?at=" + milliseconds(settings.atMs) + " lies past the show's end at " +
                   milliseconds(lengthMs) + ": this is its last moment.");
    }
    stepToolSessionTo(session, still.atMs);
    if (settings.forceStyle) {
        applyShowStyle(*session.scene, settings.style);
    }
    still.open = true;
    drawStill();
    return 0;
}

void lumarq_still_redraw()
{
    if (still.open) {
        drawStill();
    }
}

void lumarq_still_lost()
{
    emscripten_cancel_main_loop();
}

void lumarq_still_restored()
{
    if (still.open) {
        rebuildGraphics(still.session.window, *still.session.scene, still.session.start);
        drawStill();
    }
}
