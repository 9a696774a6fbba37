// Read-back, box filter, text and PNG output for the capture tool.
#include "image.h"

#include <glad/gl.h>
#include <lodepng.h>

#include <algorithm>
#include <cstring>

void readFramebuffer(Image& image, int width, int height)
{
    image.width = width;
    image.height = height;
    image.rgb.resize(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, image.rgb.data());
    // GL's rows run from the bottom up.
    const size_t row = static_cast<size_t>(width) * 3;
    for (int y = 0; y < height / 2; ++y) {
        uint8_t* top = &image.rgb[y * row];
        std::swap_ranges(top, top + row, &image.rgb[(height - 1 - y) * row]);
    }
}

Image downscale(const Image& image, int factor)
{
    Image result;
    result.width = image.width / factor;
    result.height = image.height / factor;
    result.rgb.assign(static_cast<size_t>(result.width) * result.height * 3, 0);
    const int area = factor * factor;
    for (int y = 0; y < result.height; ++y) {
        for (int x = 0; x < result.width; ++x) {
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int dy = 0; dy < factor; ++dy) {
                    for (int dx = 0; dx < factor; ++dx) {
                        sum +=
                            image.rgb[(static_cast<size_t>(y * factor + dy) * image.width + x * factor + dx) * 3 +
                                      c];
                    }
                }
                result.rgb[(static_cast<size_t>(y) * result.width + x) * 3 + c] = static_cast<uint8_t>(sum / area);
            }
        }
    }
    return result;
}

void blit(Image& target, const Image& source, int x, int y)
{
    for (int row = 0; row < source.height; ++row) {
        const int ty = y + row;
        if (ty < 0 || ty >= target.height) {
            continue;
        }
        for (int col = 0; col < source.width; ++col) {
            const int tx = x + col;
            if (tx < 0 || tx >= target.width) {
                continue;
            }
            std::memcpy(&target.rgb[(static_cast<size_t>(ty) * target.width + tx) * 3],
                        &source.rgb[(static_cast<size_t>(row) * source.width + col) * 3], 3);
        }
    }
}

namespace {

// 5x7 glyphs, one byte per row, the low five bits from left (bit 4) to right (bit 0).
struct Glyph {
    char c;
    uint8_t rows[7];
};

constexpr Glyph font[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}}, {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}}, {'D', {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}}, {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}}, {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}}, {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}},
    {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}}, {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}},
    {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}}, {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}}, {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}}, {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}},
    {'Y', {0x11, 0x11, 0x0A, 0x04, 0x04, 0x04, 0x04}}, {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}}, {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
};

const Glyph* findGlyph(char c)
{
    for (const Glyph& glyph : font) {
        if (glyph.c == c) {
            return &glyph;
        }
    }
    return nullptr;
}

}  // namespace

void drawText(Image& image, int x, int y, const std::string& text, int scale, uint8_t r, uint8_t g, uint8_t b)
{
    for (char c : text) {
        const Glyph* glyph = findGlyph(c);
        for (int row = 0; glyph != nullptr && row < 7; ++row) {
            for (int col = 0; col < 5; ++col) {
                if (!(glyph->rows[row] & (0x10 >> col))) {
                    continue;
                }
                for (int sy = 0; sy < scale; ++sy) {
                    for (int sx = 0; sx < scale; ++sx) {
                        const int px = x + col * scale + sx;
                        const int py = y + row * scale + sy;
                        if (px >= 0 && px < image.width && py >= 0 && py < image.height) {
                            uint8_t* p = &image.rgb[(static_cast<size_t>(py) * image.width + px) * 3];
                            p[0] = r;
                            p[1] = g;
                            p[2] = b;
                        }
                    }
                }
            }
        }
        x += 6 * scale;
    }
}

bool writePng(const std::string& path, const Image& image)
{
    return lodepng::encode(path, image.rgb, static_cast<unsigned>(image.width),
                           static_cast<unsigned>(image.height), LCT_RGB, 8) == 0;
}
