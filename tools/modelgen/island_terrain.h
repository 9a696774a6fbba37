// The floating island the stage stands on: its outline, the height of its top surface and
// the features painted and modelled on it (plaza, path, pond, hills).
#pragma once
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

// Island extent: a rounded rectangle (superellipse) around this centre, long along z so the
// camera runs from z = -13 to z = 11 over it. Its +x edge lies at x = 2.8 near z = -0.5, inside
// the line on which the camera dives under the island (it crosses y = 0 at x = 3.5).
constexpr float islandCentreX = -4.3f;
constexpr float islandCentreZ = -2.0f;
constexpr float islandHalfX = 7.1f;
constexpr float islandHalfZ = 16.8f;
constexpr float islandRoundness = 4.0f;    // superellipse exponent: 2 ellipse, large a box
constexpr float islandRimHeight = -0.12f;  // the top surface drops to this at the rim

// Map of the grid square [-1, 1]^2 (u across x, v along z) onto the island's footprint;
// the square's border lands on the rim.
glm::vec2 islandFootprint(glm::vec2 square);

// Height of the top surface at world (x, z).
float terrainHeight(float x, float z);

// Masks in [0, 1] for the features that both the mesh and the texture follow.
float plazaMask(float x, float z);     // paved square under the towers and creatures
float pathMask(float x, float z);      // the winding dirt path along the island
float pondMask(float x, float z);      // the pond at (0.2, 5.2)
float rimCloseness(float x, float z);  // 1 at the rim, 0 further than a metre inside

// The pond's water surface level.
constexpr float pondLevel = -0.2f;
