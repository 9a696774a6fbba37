// The shadow map's storage and framebuffer, which desktop GL and WebGL 2 make with different
// calls (shadow_target_desktop.cpp, shadow_target_web.cpp); the renderer builds it once.
#pragma once
#include <glad/gl.h>

// Allocates the bound 2D texture as the 16-bit depth map of `size` x `size` texels, no data.
void allocateShadowDepth(int size);
// Makes the bound framebuffer depth-only, with `texture` at its depth attachment.
void attachShadowDepth(GLuint texture);
