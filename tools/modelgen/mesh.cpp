// Building blocks for the procedural meshes.
#include "mesh.h"

#include <cmath>
#include <map>
#include <tuple>

#include <glm/geometric.hpp>
#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/mat3x3.hpp>
#include <glm/matrix.hpp>

namespace {

// Vertices closer than this are the same point for smoothing (seams of closed patches).
constexpr float weldQuantum = 1e-4f;

std::tuple<long, long, long> weldKey(glm::vec3 p)
{
    return {std::lround(p.x / weldQuantum), std::lround(p.y / weldQuantum), std::lround(p.z / weldQuantum)};
}

float triangleArea(glm::vec3 a, glm::vec3 b, glm::vec3 c)
{
    return 0.5f * glm::length(glm::cross(b - a, c - a));
}

}  // namespace

glm::vec2 uvInRect(const UvRect& rect, glm::vec2 local)
{
    return rect.lo + (rect.hi - rect.lo) * local;
}

void addPatch(Mesh& mesh, int columns, int rows, const Surface& surface, const UvRect& uv)
{
    const size_t first = mesh.positions.size();
    for (int j = 0; j <= rows; ++j) {
        for (int i = 0; i <= columns; ++i) {
            glm::vec2 local(float(i) / float(columns), float(j) / float(rows));
            mesh.positions.push_back(surface(local.x, local.y));
            mesh.normals.push_back(glm::vec3(0.0f, 1.0f, 0.0f));
            mesh.uvs.push_back(uvInRect(uv, local));
        }
    }
    auto index = [&](int i, int j) { return uint32_t(first + size_t(j) * size_t(columns + 1) + size_t(i)); };
    // Below this area (well above float noise at a pole, well below the smallest real cell) a
    // triangle is a sliver at a pole and would only carry a broken tangent.
    const float minArea = 1e-7f;
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            glm::uvec3 tris[2] = {{index(i, j), index(i + 1, j), index(i + 1, j + 1)},
                                  {index(i, j), index(i + 1, j + 1), index(i, j + 1)}};
            for (const glm::uvec3& t : tris) {
                if (triangleArea(mesh.positions[t.x], mesh.positions[t.y], mesh.positions[t.z]) > minArea) {
                    mesh.triangles.push_back(t);
                }
            }
        }
    }
    smoothNormals(mesh, first);
}

void addLathe(Mesh& mesh, int segments, int rings, const Profile& profile, const UvRect& uv)
{
    addPatch(
        mesh, segments, rings,
        [&](float u, float v) {
            glm::vec2 rh = profile(v);
            float angle = u * glm::two_pi<float>();
            return glm::vec3(rh.x * std::sin(angle), rh.y, rh.x * std::cos(angle));
        },
        uv);
}

void addEllipsoid(Mesh& mesh, glm::vec3 centre, glm::vec3 radii, int segments, int rings, const UvRect& uv)
{
    const size_t first = mesh.positions.size();
    addLathe(
        mesh, segments, rings,
        [](float v) {
            float a = v * glm::pi<float>();
            return glm::vec2(std::sin(a), -std::cos(a));
        },
        uv);
    glm::mat4 m(1.0f);
    m[0][0] = radii.x;
    m[1][1] = radii.y;
    m[2][2] = radii.z;
    m[3] = glm::vec4(centre, 1.0f);
    transformVertices(mesh, first, m);
}

void addBox(Mesh& mesh, glm::vec3 lo, glm::vec3 hi, const UvRect& uv)
{
    // Each face: an origin corner and two edges whose cross product points outward.
    const glm::vec3 d = hi - lo;
    const glm::vec3 faces[6][3] = {
        {{hi.x, lo.y, hi.z}, {0, 0, -d.z}, {0, d.y, 0}},  // +x
        {{lo.x, lo.y, lo.z}, {0, 0, d.z}, {0, d.y, 0}},   // -x
        {{lo.x, hi.y, hi.z}, {d.x, 0, 0}, {0, 0, -d.z}},  // +y
        {{lo.x, lo.y, lo.z}, {d.x, 0, 0}, {0, 0, d.z}},   // -y
        {{lo.x, lo.y, hi.z}, {d.x, 0, 0}, {0, d.y, 0}},   // +z
        {{hi.x, lo.y, lo.z}, {-d.x, 0, 0}, {0, d.y, 0}},  // -z
    };
    for (const auto& f : faces) {
        glm::vec3 origin = f[0], eu = f[1], ev = f[2];
        addPatch(
            mesh, 1, 1, [&](float u, float v) { return origin + eu * u + ev * v; }, uv);
    }
}

void transformVertices(Mesh& mesh, size_t firstVertex, const glm::mat4& transform)
{
    const glm::mat3 normalMatrix = glm::transpose(glm::inverse(glm::mat3(transform)));
    for (size_t i = firstVertex; i < mesh.positions.size(); ++i) {
        mesh.positions[i] = glm::vec3(transform * glm::vec4(mesh.positions[i], 1.0f));
        mesh.normals[i] = glm::normalize(normalMatrix * mesh.normals[i]);
    }
    // A mirroring transform turns the faces inside out; swap the winding back.
    if (glm::determinant(glm::mat3(transform)) < 0.0f) {
        for (glm::uvec3& t : mesh.triangles) {
            if (t.x >= firstVertex) {
                std::swap(t.y, t.z);
            }
        }
    }
}

void smoothNormals(Mesh& mesh, size_t firstVertex)
{
    std::map<std::tuple<long, long, long>, glm::vec3> sums;
    for (const glm::uvec3& t : mesh.triangles) {
        if (t.x < firstVertex) {
            continue;
        }
        glm::vec3 a = mesh.positions[t.x], b = mesh.positions[t.y], c = mesh.positions[t.z];
        glm::vec3 n = glm::cross(b - a, c - a);  // length is twice the area: area weighting
        for (uint32_t v : {t.x, t.y, t.z}) {
            sums[weldKey(mesh.positions[v])] += n;
        }
    }
    for (size_t i = firstVertex; i < mesh.positions.size(); ++i) {
        auto it = sums.find(weldKey(mesh.positions[i]));
        if (it != sums.end() && glm::length(it->second) > 0.0f) {
            mesh.normals[i] = glm::normalize(it->second);
        }
    }
}

void appendMesh(Mesh& to, const Mesh& from)
{
    const uint32_t offset = uint32_t(to.positions.size());
    to.positions.insert(to.positions.end(), from.positions.begin(), from.positions.end());
    to.normals.insert(to.normals.end(), from.normals.begin(), from.normals.end());
    to.uvs.insert(to.uvs.end(), from.uvs.begin(), from.uvs.end());
    for (const glm::uvec3& t : from.triangles) {
        to.triangles.push_back(t + glm::uvec3(offset));
    }
}

void addPart(Mesh& mesh, glm::vec3 centre, glm::vec3 radii, int segments, int rings, const UvRect& uv,
             const glm::mat4& pose)
{
    const size_t first = mesh.positions.size();
    addEllipsoid(mesh, glm::vec3(0.0f), radii, segments, rings, uv);
    glm::mat4 m = glm::translate(glm::mat4(1.0f), centre) * pose;
    m = glm::rotate(m, glm::pi<float>(), glm::vec3(0, 1, 0));
    transformVertices(mesh, first, m);
}
