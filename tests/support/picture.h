// PNG pictures in the tests: the tools' stills read as 8-bit RGB and compared pixel by pixel.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // rows from the top down
};

// An empty picture, with a test failure naming the file, when it cannot be read.
Picture loadPicture(const std::string& path);

// The tolerance of still comparisons, in the golden-image test and wherever two builds' stills of
// the same show time are compared. A pixel differs when its three channels together move by more
// than stillPixelThreshold: well above the rounding that another compiler's maths library leaves
// in the camera matrices, well below any edge that a changed pose or band moves. At most
// stillDifferingLimit of the pixels may differ: a few antialiased edge pixels, not a moved
// silhouette.
constexpr int stillPixelThreshold = 24;
constexpr double stillDifferingLimit = 0.002;

// The share of pixels whose three channels together move by more than `threshold` (0: by
// anything). Pictures of different sizes differ everywhere.
double differingShare(const Picture& a, const Picture& b, int threshold = 0);
