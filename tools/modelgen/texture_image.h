// A texture being painted: a colour and a height per texel. The height only feeds the
// normal map; row 0 is the top of the picture (v = 1), as PNG files and OBJ UVs have it.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include "mesh.h"

struct TextureImage {
    int width = 0;
    int height = 0;
    std::vector<glm::vec3> color;  // linear 0..1, row-major from the top row
    std::vector<float> relief;     // height of the painted surface, in texels
};

TextureImage makeTextureImage(int width, int height);

// What a painter returns for one texel.
struct Texel {
    glm::vec3 color{0.5f};
    float relief = 0.0f;
};

// Paints every texel of `rect`; the painter gets the texel's position inside the rectangle
// in [0, 1]^2 (v up) and its size in the same units.
using Painter = std::function<Texel(glm::vec2 local, glm::vec2 texelSize)>;
void paintRect(TextureImage& image, const UvRect& rect, const Painter& painter);

// The colour a fraction `t` of the way from `a` to `b`, with `t` clamped to [0, 1].
glm::vec3 mixColor(glm::vec3 a, glm::vec3 b, float t);

// RGBA8 bytes of the colour, top row first.
std::vector<unsigned char> colorBytes(const TextureImage& image);

// Tangent-space normal map of the relief, RGB = n * 0.5 + 0.5, green towards +v. `strength`
// scales the slopes; texels on the border of the picture clamp.
std::vector<unsigned char> normalMapBytes(const TextureImage& image, float strength);

// Writes RGBA8 bytes as a PNG file; false when encoding or writing fails.
bool writePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgba);
