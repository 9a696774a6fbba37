// Stepping the show to a still through the tools' session library, as the capture does, and
// drawing it once its textures are in.
#include "web_still.h"

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
};

// Kept for the page's lifetime: the still stays on the canvas, and the context with it.
WebStill still;

// Each animation frame until the textures are in; then the still's frame, once.
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
        pageWaitingForTextures(false);
    }
    Renderer& renderer = session.scene->renderer;
    pageDrawingBufferSize(renderer.viewportWidth, renderer.viewportHeight);
    beginToolFrame(session, still.atMs);
    session.scene->render();
    glfwSwapBuffers(session.window);
    endToolFrame(session);
    pageStillReady();
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
    emscripten_set_main_loop(drawWhenTexturesArrived, 0, false);
    return 0;
}
