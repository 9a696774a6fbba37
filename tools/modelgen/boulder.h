// Weathered boulders: rounded lumps worn flat along a few joint planes, with creases where they
// crack; the floating ones taper to a keel below. Painted as granite with cracks, lichen, rain
// streaks and moss on their tops.
#pragma once
#include <cstdint>

#include <glm/vec3.hpp>

#include "mesh.h"
#include "texture_image.h"

struct BoulderShape {
    glm::vec3 centre;   // a grounded one: the point on the ground it is set into
    glm::vec3 size;     // half extents before weathering
    float turn = 0.0f;  // about y, radians
    uint32_t seed = 0;
    bool floating = false;  // a keel below instead of a flat base in the ground
};

// Segments around and rings from pole to pole: floating boulders are seen close, from above.
void addBoulder(Mesh& mesh, const BoulderShape& shape, int segments, int rings, const UvRect& uv);

// The boulders' texture, painted over their region: u once around, v from the bottom pole to
// the top one (moss grows from v = 0.7 up).
Texel paintBoulder(glm::vec2 p);
