// PNG files to mip-mapped, repeating RGBA8 textures.
#pragma once
#include <glad/gl.h>

#include <string>

// Decodes the PNG at texturePath (relative to the working directory) and returns a new, complete
// texture; on the web its pixels arrive later (assets/texture_pixels.h). A file that cannot be
// decoded prints a "decoder error" line and yields a 1x1 magenta texture, so whatever binds the
// name still samples a complete texture.
// A caller that measures start-up hands in `times`, which each load adds its duration to.
struct TextureLoadTimes {
    double seconds = 0.0;
    int count = 0;
};
GLuint loadTexture(const std::string& texturePath, TextureLoadTimes* times = nullptr);
