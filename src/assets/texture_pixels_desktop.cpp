// Texture pixels on the desktop: the PNG read whole and decoded by LodePNG to 8-bit RGBA, flipped so
// that t = 0 is the bottom row, and uploaded with a full mip chain.
#include "assets/texture_pixels.h"

#include <lodepng.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Larger images are refused before decoding: a forged header could otherwise make the decoder
// allocate gigabytes, and no texture of the demo comes near this size.
constexpr unsigned maxTextureSide = 8192;
// The decoder's own code for "too many pixels", so the refusal reads like its other error lines.
constexpr unsigned tooManyPixelsError = 92;

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

void fillTexturePixels(GLuint /*texture*/, const std::string& path)
{
    std::vector<unsigned char> image;
    unsigned width = 0;
    unsigned height = 0;
    {
        // A file that cannot be opened leaves the buffer empty; the decoder then reports error 48.
        std::vector<unsigned char> file;
        lodepng::load_file(file, path);
        if (headerWithinLimits(file)) {
            const unsigned error = lodepng::decode(image, width, height, file, LCT_RGBA, 8);
            if (error != 0) {
                printf("decoder error %u: %s\n", error, decoderErrorText(error));
                image.clear();
            }
        }
    }
    if (image.empty() || width == 0 || height == 0) {
        fillPlaceholderPixel();
        return;
    }
    // GL takes the bottom row first; the decoder delivers the top row first.
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    std::vector<unsigned char> flipped(image.size());
    for (unsigned k = 0; k < height; ++k) {
        const unsigned char* source = image.data() + static_cast<size_t>(height - 1 - k) * rowBytes;
        std::copy(source, source + rowBytes, flipped.begin() + static_cast<size_t>(k) * rowBytes);
    }
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(width), static_cast<GLsizei>(height), 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, flipped.data());
    glGenerateMipmap(GL_TEXTURE_2D);
}
