// A frame of the show drawn and read back.
#include "capture_frame.h"

#include <GLFW/glfw3.h>

void captureFrame(ToolSession& session, double ms, Image& image)
{
    beginToolFrame(session, ms);
    session.scene->render();
    const Renderer& renderer = session.scene->renderer;
    readFramebuffer(image, renderer.viewportWidth, renderer.viewportHeight);
    glfwSwapBuffers(session.window);
    endToolFrame(session);
}
