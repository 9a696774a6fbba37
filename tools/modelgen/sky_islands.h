// Small floating islands drifting in the distance all around the stage: a grassy top with a
// few trees, a rocky underside hanging to a point, lit by the stage's light and hazed by the
// distance. Part of the sky's model, far outside the shadow map's box.
#pragma once
#include "mesh.h"
#include "texture_image.h"

void addSkyIslands(Mesh& mesh);

// Their rock: u once around, v from the hanging point (0) up to the rim (1).
Texel paintSkyIslandRock(glm::vec2 p);
// Their tops, mapped as a disc (the centre of the region is the middle of an island), with a
// strip of tree green at the right.
Texel paintSkyIslandGrass(glm::vec2 p);
