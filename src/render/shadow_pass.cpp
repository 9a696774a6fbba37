// Shadow depth pass: clears the shadow map and draws objects into it from the light, through an
// orthographic box of 20 x 20 x 30 units around the light's view toward (0, 0, -1).
#include "render/renderer.h"

#include "camera/camera.h"
#include "render/draw_count.h"
#include "render/position_binding.h"

namespace {

// The light always looks at this point; with the light at x = 6, y = 4 the view never degenerates.
const glm::vec3 lightTarget(0.0f, 0.0f, -1.0f);
const glm::vec3 lightUp(0.0f, 1.0f, 0.0f);

// Orthographic box x, y in [-10, 10], near -10, far 20, written column by column.
const glm::mat4 lightBox(glm::vec4(0.1f, 0.0f, 0.0f, 0.0f), glm::vec4(0.0f, 0.1f, 0.0f, 0.0f),
                         glm::vec4(0.0f, 0.0f, -0.06666667f, 0.0f), glm::vec4(0.0f, 0.0f, -0.33333334f, 1.0f));

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
