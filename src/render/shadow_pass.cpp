// Shadow depth pass: clears the shadow map and draws objects into it from the light, through the
// light rig's orthographic box around its view toward its target (render/light_rig.h).
#include "render/renderer.h"

#include "camera/camera.h"
#include "render/draw_count.h"
#include "render/light_rig.h"
#include "render/position_binding.h"

#include <glm/gtc/matrix_transform.hpp>

namespace {

const glm::mat4 lightBox = glm::ortho(-lightBoxHalfWidth, lightBoxHalfWidth, -lightBoxHalfWidth, lightBoxHalfWidth,
                                      lightBoxNear, lightBoxFar);

}  // namespace

void Renderer::beginShadowPass()
{
    drawVertexCount = 0.0;
    glBindFramebuffer(GL_FRAMEBUFFER, shadowFramebuffer);
    glViewport(0, 0, shadowMapSize, shadowMapSize);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glUseProgram(depthRttProgram);
    lightInvDirection = lightPosition;
    lightProjection = lightBox;
    lightView = lookAt(lightInvDirection, lightTarget, lightUp);
}

void Renderer::drawDepth(SceneObject object)
{
    if (!hasGeometry(object)) {
        return;
    }
    drawVertexCount += meshVertexCount(object);
    depthMvp = lightProjection * lightView * object.model;
    glUniformMatrix4fv(depthMvpLocation, 1, GL_FALSE, &depthMvp[0][0]);

    bindPositionsOnly(object);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(drawVertexCount));
    glDisableVertexAttribArray(object.positionAttrib);
    drawVertexCount = 0.0;
}
