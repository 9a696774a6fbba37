// Stepping the show to a still through the tools' session library, as the capture does.
#include "web_still.h"

#include "page.h"
#include "tool_session.h"

#include <GLFW/glfw3.h>

namespace {

// The capture's frame rate: every still passes through the same frames as its still.
constexpr double stepMs = 1000.0 / 60.0;

}  // namespace

int renderWebStill(const WebStillSettings& settings)
{
    ToolSessionSettings sessionSettings;
    sessionSettings.program = "lumarq-web";
    sessionSettings.width = settings.width;
    sessionSettings.height = settings.height;
    // Kept for the page's lifetime: the still stays on the canvas, and the context with it.
    static ToolSession session;
    if (!openToolSession(session, sessionSettings)) {
        pageFailed(session.scene != nullptr ? session.scene->loadFailure : "The show could not open WebGL 2.");
        closeToolSession(session);
        return 1;
    }
    for (long frame = 0; frame * stepMs < settings.atMs; ++frame) {
        runToolFrame(session, frame * stepMs, false);
    }
    if (settings.forceStyle) {
        applyShowStyle(*session.scene, settings.style);
    }
    beginToolFrame(session, settings.atMs);
    session.scene->render();
    glfwSwapBuffers(session.window);
    endToolFrame(session);
    pageStillReady();
    return 0;
}
