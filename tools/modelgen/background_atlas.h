// The sky's texture atlas, 2048 x 1024 texels: the dome above (most of its rows for the sky
// down to a little below the horizon), and below it the cloud sea's palette and the distant
// islands' rock and grass.
#pragma once
#include <glm/geometric.hpp>
#include <glm/vec3.hpp>

#include "mesh.h"

constexpr int backgroundTextureWidth = 2048;
constexpr int backgroundTextureHeight = 1024;

const UvRect domeUv{{0.0f, 0.25f}, {1.0f, 1.0f}};
const UvRect cloudPaletteUv{{0.0f, 0.0f}, {0.125f, 0.25f}};
const UvRect skyIslandRockUv{{0.125f, 0.0f}, {0.625f, 0.25f}};
const UvRect skyIslandGrassUv{{0.625f, 0.0f}, {1.0f, 0.25f}};

// The light stands at x = 6, y = 4 and sweeps along z, looking toward (0, 0, -1). A normal
// almost straight up meets it at a cosine between 0.39 and 0.51 wherever it is: always the middle
// toon band (so the sky never merges with lit slopes), and an even, unbanded sky under the
// textured styles, which light it by about 0.7 (0.35 ambient and 0.75 of that cosine). The sky's
// colours are painted brighter than they look by that much.
inline const glm::vec3 skyLightNormal = glm::normalize(glm::vec3(-0.05f, 1.0f, 0.0f));

// The haze everything fades into towards the horizon, as painted: lit by about 0.7 it shows a
// pale blue-grey.
constexpr glm::vec3 horizonHaze(0.80f, 0.89f, 1.0f);
