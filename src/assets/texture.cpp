// Texture loader: reads a PNG with LodePNG, flips it so that t = 0 is the bottom row, uploads it
// as RGBA8 with a full mip chain.
#include "assets/texture.h"

#include <lodepng.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

// Larger images are refused before decoding: a forged header could otherwise make the decoder
// allocate gigabytes, and no texture of the demo comes near this size.
constexpr unsigned maxTextureSide = 8192;
// The decoder's own code for "too many pixels", so the refusal reads like its other error lines.
constexpr unsigned tooManyPixelsError = 92;

// Stands in for an image that could not be decoded; magenta stands out in any scene.
constexpr unsigned char placeholderPixel[4] = {255, 0, 255, 255};

// Reads the header only; returns false (after printing why) when the image is too large to decode.
bool headerWithinLimits(const std::vector<unsigned char>& file)
{
    if (file.empty()) {
        return true;  // the decoder reports the empty input itself
    }
    unsigned width = 0;
    unsigned height = 0;
    LodePNGState state;
    lodepng_state_init(&state);
    const unsigned error = lodepng_inspect(&width, &height, &state, file.data(), file.size());
    lodepng_state_cleanup(&state);
    if (error != 0) {
        return true;  // not a readable header: the decoder reports it with its own code and text
    }
    if (width > maxTextureSide || height > maxTextureSide) {
        printf("decoder error %u: image of %u x %u pixels exceeds %u x %u, not decoded\n", tooManyPixelsError,
               width, height, maxTextureSide, maxTextureSide);
        return false;
    }
    return true;
}

// The decoder's message for an error code. A missing file (code 48) keeps the wording the demo has
// always printed; newer LodePNG releases phrase it differently.
const char* decoderErrorText(unsigned error)
{
    return error == 48 ? "empty input or file doesn't exist" : lodepng_error_text(error);
}

}  // namespace

GLuint loadTexture(const std::string& texturePath, TextureLoadTimes* times)
{
    const auto start = std::chrono::steady_clock::now();
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);

    std::vector<unsigned char> image;
    unsigned width = 0;
    unsigned height = 0;
    {
        // A file that cannot be opened leaves the buffer empty; the decoder then reports error 48.
        std::vector<unsigned char> file;
        lodepng::load_file(file, texturePath);
        if (headerWithinLimits(file)) {
            const unsigned error = lodepng::decode(image, width, height, file, LCT_RGBA, 8);
            if (error != 0) {
                printf("decoder error %u: %s\n", error, decoderErrorText(error));
                image.clear();
            }
        }
    }

    if (image.empty() || width == 0 || height == 0) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, placeholderPixel);
    } else {
        // GL takes the bottom row first; the decoder delivers the top row first.
        const size_t rowBytes = static_cast<size_t>(width) * 4;
        std::vector<unsigned char> flipped(image.size());
        for (unsigned k = 0; k < height; ++k) {
            const unsigned char* source = image.data() + static_cast<size_t>(height - 1 - k) * rowBytes;
            std::copy(source, source + rowBytes, flipped.begin() + static_cast<size_t>(k) * rowBytes);
        }
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(width), static_cast<GLsizei>(height), 0,
                     GL_RGBA, GL_UNSIGNED_BYTE, flipped.data());
    }
    glGenerateMipmap(GL_TEXTURE_2D);
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
