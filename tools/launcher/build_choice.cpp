// Reading display sizes and choosing the build for a monitor.
#include "build_choice.h"

#include <cmath>
#include <cstdlib>

bool readDisplaySize(const std::string& text, DisplaySize& size)
{
    const std::string::size_type x = text.find('x');
    if (x == std::string::npos) {
        return false;
    }
    const std::string width = text.substr(0, x);
    const std::string height = text.substr(x + 1);
    for (const std::string* side : {&width, &height}) {
        // Five digits hold any display side and cannot overflow an int.
        if (side->empty() || side->size() > 5 || side->find_first_not_of("0123456789") != std::string::npos) {
            return false;
        }
    }
    size = {std::atoi(width.c_str()), std::atoi(height.c_str())};
    return size.width > 0 && size.height > 0;
}

std::string displaySizeName(DisplaySize size)
{
    return std::to_string(size.width) + "x" + std::to_string(size.height);
}

bool fitsOn(DisplaySize build, DisplaySize monitor)
{
    return build.width <= monitor.width && build.height <= monitor.height;
}

DisplaySize fittingBuild(const std::vector<DisplaySize>& builds, DisplaySize monitor)
{
    const auto area = [](DisplaySize size) { return static_cast<long>(size.width) * size.height; };
    // Shapes compared as the logarithm of the aspect ratio: 16:9 is as far from 16:10 seen from
    // either side.
    const auto shapeDistance = [monitor](DisplaySize size) {
        return std::fabs(std::log(static_cast<double>(size.width) * monitor.height /
                                  (static_cast<double>(size.height) * monitor.width)));
    };
    const DisplaySize* best = nullptr;
    for (const DisplaySize& build : builds) {
        if (!fitsOn(build, monitor)) {
            continue;
        }
        if (best == nullptr || shapeDistance(build) < shapeDistance(*best) - 1e-9 ||
            (shapeDistance(build) < shapeDistance(*best) + 1e-9 && area(build) > area(*best))) {
            best = &build;
        }
    }
    if (best != nullptr) {
        return *best;
    }
    DisplaySize smallest = builds.front();
    for (const DisplaySize& build : builds) {
        if (area(build) < area(smallest)) {
            smallest = build;
        }
    }
    return smallest;
}
