// The shadow map on WebGL 2: 16-bit depth storage takes only unsigned shorts, the draw buffers are
// switched off with glDrawBuffers and a 2D texture is attached with glFramebufferTexture2D; the
// map compares and filters where it is sampled.
#include "render/shadow_target.h"

void allocateShadowDepth(int size)
{
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT16, size, size, 0, GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT,
                 nullptr);
}

void attachShadowDepth(GLuint texture)
{
    // The shaded passes take the map through a comparing sampler, which filters the comparison of
    // the four texels around the point as their shaders do by hand on desktop GL: WebGL 2 has no
    // texture gather to fetch the four at once.
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
    const GLenum none = GL_NONE;
    glDrawBuffers(1, &none);
    glReadBuffer(GL_NONE);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, texture, 0);
}
