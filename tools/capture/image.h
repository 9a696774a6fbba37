// RGB images for the capture tool: read back from GL, scaled down, labelled and written as PNG.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // rows from the top of the picture down
};

// Reads the back buffer into a top-down RGB image.
void readFramebuffer(Image& image, int width, int height);

// Box-filters the image down by an integer factor.
Image downscale(const Image& image, int factor);

// Copies `source` into `target` with its top-left corner at (x, y), clipped.
void blit(Image& target, const Image& source, int x, int y);

// Draws upper-case text in a 5x7 pixel font, each font pixel `scale` pixels wide.
void drawText(Image& image, int x, int y, const std::string& text, int scale, uint8_t r, uint8_t g, uint8_t b);

bool writePng(const std::string& path, const Image& image);
