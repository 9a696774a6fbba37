// Outline pass: clears the window to white, advances the camera for the frame and draws the back
// faces of outlined objects as wide lines; the shaded pass covers all but the silhouette's rim.
#include "render/renderer.h"

#include "camera/camera.h"
#include "render/draw_count.h"
#include "render/position_binding.h"

namespace {

// Wide enough for a bold contour at every display size; the core context is not
// forward-compatible, so widths above 1 are honoured.
constexpr float outlineWidth = 5.0f;

}  // namespace

void Renderer::beginOutlinePass()
{
    drawVertexCount = 0.0;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, viewportWidth, viewportHeight);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    updateCameraMatrices(window, autoCamera, viewportAspect(*this));
    cameraProjection = getProjectionMatrix();
    cameraView = getViewMatrix();
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glLineWidth(outlineWidth);
}

void Renderer::drawOutline(SceneObject object)
{
    glUseProgram(wireframeProgram);
    if (!hasGeometry(object)) {
        return;
    }
    drawVertexCount += meshVertexCount(object);
    const glm::mat4 mvp = cameraProjection * cameraView * object.model;
    glUniformMatrix4fv(wireframeMvpLocation, 1, GL_FALSE, &mvp[0][0]);

    bindPositionsOnly(object);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(drawVertexCount));
    glDisableVertexAttribArray(0);
    drawVertexCount = 0.0;
}
