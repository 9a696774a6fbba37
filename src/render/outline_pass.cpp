// Outline pass: clears the window to white, advances the camera for the frame and draws the back
// faces' edges of outlined objects as wide strokes (render/outline_strokes.h); the shaded pass
// covers all but the silhouette's rim.
#include "render/renderer.h"

#include "camera/camera.h"
#include "render/draw_count.h"
#include "render/outline_strokes.h"

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
    beginOutlineStrokes(*this);
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

    drawOutlineStrokes(*this, object, static_cast<GLsizei>(drawVertexCount));
    drawVertexCount = 0.0;
}
