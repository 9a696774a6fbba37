// Per-vertex tangents and bitangents of a triangle list, for tangent-space normal mapping.
#pragma once
#include <glm/glm.hpp>

#include <vector>

// Vertices 3k, 3k+1, 3k+2 form triangle k. Fills one tangent and one bitangent per position:
// tangents orthogonalised against the normal, normalised and flipped to the bitangent's side;
// bitangents as the triangle's UV gradient. Where the UVs give no gradient (zero determinant,
// a tangent parallel to the normal, or vertices past the last whole triangle or past the UV and
// normal lists) the tangent is some unit vector perpendicular to the normal and the bitangent
// completes the frame, so every output is finite.
void computeTangents(const std::vector<glm::vec3>& positions, const std::vector<glm::vec2>& uvs,
                     const std::vector<glm::vec3>& normals, std::vector<glm::vec3>& tangents,
                     std::vector<glm::vec3>& bitangents);
