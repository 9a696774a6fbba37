// PNG files to mip-mapped, repeating RGBA8 textures.
#pragma once
#include <glad/gl.h>

#include <string>

// Decodes the PNG at texturePath (relative to the working directory) and returns a new, complete
// texture. A file that cannot be decoded prints a "decoder error" line and yields a 1x1 magenta
// texture, so whatever binds the name still samples a complete texture.
GLuint loadTexture(const std::string& texturePath);
