// PNG reading through LodePNG and a per-pixel comparison.
#include "support/picture.h"

#include <gtest/gtest.h>
#include <lodepng.h>

#include <cstdlib>

Picture loadPicture(const std::string& path)
{
    Picture picture;
    unsigned width = 0;
    unsigned height = 0;
    const unsigned error = lodepng::decode(picture.rgb, width, height, path, LCT_RGB, 8);
    if (error != 0) {
        ADD_FAILURE() << "cannot read " << path << ": " << lodepng_error_text(error);
        return Picture();
    }
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    return picture;
}

double differingShare(const Picture& a, const Picture& b, int threshold)
{
    if (a.width != b.width || a.height != b.height || a.rgb.empty()) {
        return 1.0;
    }
    size_t differing = 0;
    for (size_t i = 0; i < a.rgb.size(); i += 3) {
        const int d = std::abs(a.rgb[i] - b.rgb[i]) + std::abs(a.rgb[i + 1] - b.rgb[i + 1]) +
                      std::abs(a.rgb[i + 2] - b.rgb[i + 2]);
        differing += d > threshold ? 1 : 0;
    }
    return static_cast<double>(differing) / static_cast<double>(a.rgb.size() / 3);
}
