// Texture painting, normal maps from relief, and PNG output.
#include "texture_image.h"

#include <algorithm>
#include <cmath>

#include <glm/geometric.hpp>
#include <lodepng.h>

TextureImage makeTextureImage(int width, int height)
{
    TextureImage image;
    image.width = width;
    image.height = height;
    image.color.assign(size_t(width) * size_t(height), glm::vec3(0.5f));
    image.relief.assign(size_t(width) * size_t(height), 0.0f);
    return image;
}

void paintRect(TextureImage& image, const UvRect& rect, const Painter& painter)
{
    const int x0 = int(std::lround(rect.lo.x * float(image.width)));
    const int x1 = int(std::lround(rect.hi.x * float(image.width)));
    const int row0 = int(std::lround((1.0f - rect.hi.y) * float(image.height)));
    const int row1 = int(std::lround((1.0f - rect.lo.y) * float(image.height)));
    const glm::vec2 texel(1.0f / float(x1 - x0), 1.0f / float(row1 - row0));
    for (int row = row0; row < row1; ++row) {
        for (int x = x0; x < x1; ++x) {
            glm::vec2 local((float(x - x0) + 0.5f) * texel.x, 1.0f - (float(row - row0) + 0.5f) * texel.y);
            Texel t = painter(local, texel);
            size_t i = size_t(row) * size_t(image.width) + size_t(x);
            image.color[i] = t.color;
            image.relief[i] = t.relief;
        }
    }
}

static unsigned char toByte(float f)
{
    return (unsigned char)std::lround(std::clamp(f, 0.0f, 1.0f) * 255.0f);
}

std::vector<unsigned char> colorBytes(const TextureImage& image)
{
    std::vector<unsigned char> out;
    out.reserve(image.color.size() * 4);
    for (const glm::vec3& c : image.color) {
        out.push_back(toByte(c.r));
        out.push_back(toByte(c.g));
        out.push_back(toByte(c.b));
        out.push_back(255);
    }
    return out;
}

std::vector<unsigned char> normalMapBytes(const TextureImage& image, float strength)
{
    std::vector<unsigned char> out;
    out.reserve(image.relief.size() * 4);
    auto at = [&](int x, int row) {
        x = std::clamp(x, 0, image.width - 1);
        row = std::clamp(row, 0, image.height - 1);
        return image.relief[size_t(row) * size_t(image.width) + size_t(x)];
    };
    for (int row = 0; row < image.height; ++row) {
        for (int x = 0; x < image.width; ++x) {
            float du = 0.5f * (at(x + 1, row) - at(x - 1, row));
            float dv = 0.5f * (at(x, row - 1) - at(x, row + 1));  // the row above is +v
            glm::vec3 n = glm::normalize(glm::vec3(-du * strength, -dv * strength, 1.0f));
            out.push_back(toByte(n.x * 0.5f + 0.5f));
            out.push_back(toByte(n.y * 0.5f + 0.5f));
            out.push_back(toByte(n.z * 0.5f + 0.5f));
            out.push_back(255);
        }
    }
    return out;
}

bool writePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgba)
{
    std::vector<unsigned char> png;
    if (lodepng::encode(png, rgba, unsigned(width), unsigned(height)) != 0) {
        return false;
    }
    return lodepng::save_file(png, path) == 0;
}

glm::vec3 mixColor(glm::vec3 a, glm::vec3 b, float t)
{
    return a + (b - a) * std::clamp(t, 0.0f, 1.0f);
}
