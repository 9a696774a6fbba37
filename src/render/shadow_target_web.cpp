// The shadow map on WebGL 2: 16-bit depth storage takes only unsigned shorts, the draw buffers are
// switched off with glDrawBuffers and a 2D texture is attached with glFramebufferTexture2D.
#include "render/shadow_target.h"

void allocateShadowDepth(int size)
{
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT16, size, size, 0, GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT,
                 nullptr);
}

void attachShadowDepth(GLuint texture)
{
    const GLenum none = GL_NONE;
    glDrawBuffers(1, &none);
    glReadBuffer(GL_NONE);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, texture, 0);
}
