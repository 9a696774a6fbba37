// The sea of clouds far below the island: billows with soft shading, rising to meet the sky
// at its rim a little below the horizon, and gaps that open onto a hazy lower layer far below.
// A height field on a polar grid around the stage, coloured per vertex through a palette.
#pragma once
#include "mesh.h"
#include "texture_image.h"

// The highest the billows reach: every camera of the show is far above it.
constexpr float cloudSeaTop = -19.0f;

void addCloudSea(Mesh& mesh);

// The palette: u from a gap's hazy floor (0) through the clouds (0.5) to the far haze at the
// rim (1); v from the shade in the valleys between billows (0) to sunlit tops (1).
Texel paintCloudPalette(glm::vec2 p);
