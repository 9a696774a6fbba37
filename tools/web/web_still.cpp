// Stepping the show to a still through the tools' session library, as the capture does.
#include "web_still.h"

#include "page.h"
#include "tool_session.h"

#include <GLFW/glfw3.h>

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
    stepToolSessionTo(session, settings.atMs);
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
