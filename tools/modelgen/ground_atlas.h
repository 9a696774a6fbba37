// The island's texture atlas, 2048 x 1024 texels: the top, planar over the island; two full-width
// bands for the underside, which its strata wrap around many times (a band spanning the whole
// width repeats seamlessly in u), so the rock stays sharp where the camera passes close; and
// the props below them.
#pragma once
#include "mesh.h"

constexpr int groundTextureWidth = 2048;
constexpr int groundTextureHeight = 1024;

const UvRect islandTopUv{{0.0f, 0.4375f}, {1.0f, 1.0f}};
const UvRect undersideEarthUv{{0.0f, 0.34375f}, {1.0f, 0.4375f}};
const UvRect undersideRockUv{{0.0f, 0.15625f}, {1.0f, 0.34375f}};
const UvRect rockUv{{0.0f, 0.0f}, {0.3125f, 0.15625f}};
const UvRect barkUv{{0.3125f, 0.0f}, {0.4375f, 0.15625f}};
const UvRect leavesUv{{0.4375f, 0.0f}, {0.71875f, 0.15625f}};
const UvRect needlesUv{{0.71875f, 0.0f}, {1.0f, 0.15625f}};

// Metres of underside rock one width of a band covers: about as many texels per metre across
// as the strata get down their height.
constexpr float undersideTileLength = 8.0f;
