// The shadow map on desktop GL: storage given as floats, the framebuffer without colour buffers
// and the texture attached with glFramebufferTexture.
#include "render/shadow_target.h"

void allocateShadowDepth(int size)
{
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT16, size, size, 0, GL_DEPTH_COMPONENT, GL_FLOAT, nullptr);
}

void attachShadowDepth(GLuint texture)
{
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    glFramebufferTexture(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, texture, 0);
}
