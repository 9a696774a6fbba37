// Texture loader: a new texture name whose pixels come from the PNG file (texture_pixels.h), with
// the demo's sampling: trilinear, repeating.
#include "assets/texture.h"

#include "assets/texture_pixels.h"

#include <chrono>

namespace {

constexpr unsigned char placeholderPixel[4] = {255, 0, 255, 255};

}  // namespace

void fillPlaceholderPixel()
{
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, placeholderPixel);
    glGenerateMipmap(GL_TEXTURE_2D);
}

GLuint loadTexture(const std::string& texturePath, TextureLoadTimes* times)
{
    const auto start = std::chrono::steady_clock::now();
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    fillTexturePixels(name, texturePath);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glBindTexture(GL_TEXTURE_2D, 0);
    if (times != nullptr) {
        times->seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ++times->count;
    }
    return name;
}
