// Where a texture's pixels come from. The desktop programs decode the PNG file at once
// (texture_pixels_desktop.cpp); the web page streams the files in after start-up, in the order the
// show needs them, and each texture is filled when its file arrives (texture_pixels_web.cpp).
#pragma once
#include <glad/gl.h>

#include <string>

// Fills `texture`, which is bound to GL_TEXTURE_2D, from the PNG at `path`: level 0, the bottom
// row first, and the mipmaps. A file that cannot be decoded prints a "decoder error" line and
// leaves the placeholder pixel.
void fillTexturePixels(GLuint texture, const std::string& path);

// One magenta pixel, with its mipmaps, into the bound texture: it stands in for an image that
// could not be decoded (or, on the web, has not arrived), and stands out in any scene.
void fillPlaceholderPixel();
