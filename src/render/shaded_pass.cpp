// Shaded pass: fills every object with its program (Toon, ShadowMapping or BumpMapping) over the
// outline pass's picture, with the shadow map of the same frame on texture unit 1.
#include "render/shaded_pass.h"

#include "camera/camera.h"
#include "render/draw_count.h"
#include "render/outline_strokes.h"
#include "render/renderer.h"

namespace {

// Maps light clip space [-1, 1] to shadow-map texture space [0, 1].
const glm::mat4 biasMatrix(glm::vec4(0.5f, 0.0f, 0.0f, 0.0f), glm::vec4(0.0f, 0.5f, 0.0f, 0.0f),
                           glm::vec4(0.0f, 0.0f, 0.5f, 0.0f), glm::vec4(0.5f, 0.5f, 0.5f, 1.0f));

// Feeds one attribute from its buffer. An object without that data (no buffer) leaves the array
// disabled, so the shader reads the attribute's constant value instead of a missing buffer.
void feedAttribute(GLuint location, GLuint buffer, GLint components)
{
    if (buffer == 0) {
        return;
    }
    glEnableVertexAttribArray(location);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glVertexAttribPointer(location, components, GL_FLOAT, GL_FALSE, 0, nullptr);
}

void uploadMatrix(GLint location, const glm::mat4& m)
{
    glUniformMatrix4fv(location, 1, GL_FALSE, &m[0][0]);
}

void uploadVector(GLint location, const glm::vec3& v)
{
    glUniform3f(location, v.x, v.y, v.z);
}

}  // namespace

void setUpShadedPass(Renderer& renderer)
{
    renderer.drawVertexCount = 0.0;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, renderer.viewportWidth, renderer.viewportHeight);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    endOutlineStrokes();
}

void Renderer::drawShaded(SceneObject object)
{
    glUseProgram(object.program);
    if (!hasGeometry(object)) {
        return;
    }
    drawVertexCount += meshVertexCount(object);
    depthMvp = lightProjection * lightView * object.model;
    const glm::mat4 depthBiasMvp = biasMatrix * depthMvp;
    const glm::mat4 mvp = cameraProjection * cameraView * object.model;

    if (object.program == toonProgram) {
        uploadMatrix(toonMvpLocation, mvp);
        uploadMatrix(toonViewLocation, cameraView);
        uploadMatrix(toonModelLocation, object.model);
        glUniformMatrix3fv(toonColorLocation, 1, GL_FALSE, &object.toonColor[0][0]);
        uploadVector(toonLightInvDirectionLocation, lightInvDirection);
    }
    if (object.useBumpMap) {
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, object.diffuseTexture);
        glUniform1i(bumpTextureSamplerLocation, 0);
        glActiveTexture(GL_TEXTURE1);
        glBindTexture(GL_TEXTURE_2D, shadowDepthTexture);
        glUniform1i(bumpShadowMapLocation, 1);
        glActiveTexture(GL_TEXTURE2);
        glBindTexture(GL_TEXTURE_2D, object.bumpTexture);
        glUniform1i(bumpSamplerLocation, 2);
        uploadVector(bumpLightPositionLocation, lightPosition);
        uploadVector(bumpLightInvDirectionLocation, lightInvDirection);
        uploadVector(bumpCameraPositionLocation, cameraPosition);
        uploadMatrix(bumpDepthBiasMvpLocation, depthBiasMvp);
        uploadMatrix(bumpMvpLocation, mvp);
        uploadMatrix(bumpViewLocation, cameraView);
        uploadMatrix(bumpModelLocation, object.model);
    }
    if (object.program == shadowMappingProgram) {
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, object.diffuseTexture);
        glUniform1i(shadowTextureSamplerLocation, 0);
        glActiveTexture(GL_TEXTURE1);
        glBindTexture(GL_TEXTURE_2D, shadowDepthTexture);
        glUniform1i(shadowMapLocation, 1);
        uploadVector(shadowLightPositionLocation, lightPosition);
        uploadVector(shadowLightInvDirectionLocation, lightInvDirection);
        uploadMatrix(shadowDepthBiasMvpLocation, depthBiasMvp);
        uploadMatrix(shadowMvpLocation, mvp);
        uploadMatrix(shadowViewLocation, cameraView);
        uploadMatrix(shadowModelLocation, object.model);
    }

    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, object.indexBuffer);
    glBindVertexArray(object.vertexArray);
    feedAttribute(object.positionAttrib, object.positionBuffer, 3);
    feedAttribute(object.normalAttrib, object.normalBuffer, 3);
    feedAttribute(object.uvAttrib, object.uvBuffer, 2);
    if (object.useBumpMap) {
        feedAttribute(object.tangentAttrib, object.tangentBuffer, 3);
        feedAttribute(object.bitangentAttrib, object.bitangentBuffer, 3);
    }
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(drawVertexCount));
    glDisableVertexAttribArray(0);
    glDisableVertexAttribArray(1);
    glDisableVertexAttribArray(2);
    if (object.useBumpMap) {
        glDisableVertexAttribArray(3);
        glDisableVertexAttribArray(4);
    }
    drawVertexCount = 0.0;
}
