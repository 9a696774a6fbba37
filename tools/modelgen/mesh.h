// The triangle mesh the generator builds: shared vertex arrays (position, normal, UV) and
// index triples, wound counter-clockwise seen from the side the surface faces.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include <glm/mat4x4.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

struct Mesh {
    std::vector<glm::vec3> positions;
    std::vector<glm::vec3> normals;
    std::vector<glm::vec2> uvs;
    std::vector<glm::uvec3> triangles;
};

// A rectangle of the texture atlas, in UV units (v up, as OBJ files have it).
struct UvRect {
    glm::vec2 lo{0.0f};
    glm::vec2 hi{1.0f};
};

glm::vec2 uvInRect(const UvRect& rect, glm::vec2 local);

// Parametric surface over (u, v) in [0, 1]^2. The surface faces the side of
// cross(dP/du, dP/dv). Normals are smoothed over the patch, seams included (vertices at the
// same place share a normal); triangles of zero area (at poles) are left out.
using Surface = std::function<glm::vec3(float u, float v)>;
void addPatch(Mesh& mesh, int columns, int rows, const Surface& surface, const UvRect& uv);

// Surface of revolution about +y: `profile(v)` gives (radius, height); u runs once around,
// counter-clockwise seen from above, starting at +z.
using Profile = std::function<glm::vec2(float v)>;
void addLathe(Mesh& mesh, int segments, int rings, const Profile& profile, const UvRect& uv);

// Ellipsoid with the given radii about `centre`; its poles lie on y.
void addEllipsoid(Mesh& mesh, glm::vec3 centre, glm::vec3 radii, int segments, int rings, const UvRect& uv);

// A body part: an ellipsoid turned half about y (its texture seam at the back, the front of the
// texture facing +z), then posed and placed with its centre at `centre`.
void addPart(Mesh& mesh, glm::vec3 centre, glm::vec3 radii, int segments, int rings, const UvRect& uv,
             const glm::mat4& pose = glm::mat4(1.0f));

// Axis-aligned box with flat faces, each face mapped onto the whole of `uv`.
void addBox(Mesh& mesh, glm::vec3 lo, glm::vec3 hi, const UvRect& uv);

// Applies `transform` to the vertices from `firstVertex` on (normals by its inverse transpose).
void transformVertices(Mesh& mesh, size_t firstVertex, const glm::mat4& transform);

// Recomputes normals of vertices from `firstVertex` on as area-weighted averages of the faces
// around each position, so parts built from several patches shade as one smooth surface.
void smoothNormals(Mesh& mesh, size_t firstVertex);

void appendMesh(Mesh& to, const Mesh& from);
