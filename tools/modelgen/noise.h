// Deterministic pseudo-random numbers and value noise for the procedural models and textures.
// Everything here is integer hashing and plain float arithmetic, so every run gives the same bytes.
#pragma once
#include <cstdint>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

// A small fixed-sequence generator (SplitMix64); std distributions are avoided because their
// output is not pinned down across library versions.
struct Rng {
    uint64_t state = 0;
};

Rng makeRng(uint64_t seed);
uint64_t nextBits(Rng& rng);
float nextFloat(Rng& rng);                      // in [0, 1)
float nextRange(Rng& rng, float lo, float hi);  // in [lo, hi)

// Hash of a lattice point to [0, 1).
float hash2(int x, int y, uint32_t seed);

// Smooth value noise in [0, 1]; `period` > 0 wraps the lattice so the noise tiles every
// `period` units along x (used for textures that wrap around a lathe).
float valueNoise(glm::vec2 p, uint32_t seed, int period = 0);

// Sum of octaves of value noise, normalised to [0, 1].
float fbm(glm::vec2 p, int octaves, uint32_t seed, int period = 0);

// Distance to the nearest of randomly jittered cell points (cellular noise), in cell units.
float cellDistance(glm::vec2 p, uint32_t seed, int period = 0);

// Cellular noise in full: the nearest cell point, the distance to it, and half the gap between
// that and the distance to the second nearest (0 on the border between two cells: thresholding
// it draws the joints between irregular stones).
struct CellSample {
    glm::vec2 point{0.0f};
    float nearest = 0.0f;
    float border = 0.0f;
};
CellSample cellSample(glm::vec2 p, uint32_t seed);

// Value noise and its octave sum over space, in [0, 1]: for shapes carved out of a solid
// (boulders), which have no seam-free 2D parameterisation.
float valueNoise3(glm::vec3 p, uint32_t seed);
float fbm3(glm::vec3 p, int octaves, uint32_t seed);

float smoothstep01(float edge0, float edge1, float x);
