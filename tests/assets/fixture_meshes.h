// Test fixtures built in code: simple triangle meshes written as OBJ/MTL files, PNG images, and
// importing them with the demo's import flags.
#pragma once
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <glm/glm.hpp>
#include <glm/gtc/constants.hpp>
#include <lodepng.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// The demo's import flags.
constexpr unsigned fixtureImportFlags = aiProcess_Triangulate | aiProcess_GenSmoothNormals | aiProcess_FlipUVs;

// A triangle list: three consecutive corners per triangle, counter-clockwise seen from outside.
struct FixtureMesh {
    std::vector<glm::vec3> positions;
    std::vector<glm::vec3> normals;
    std::vector<glm::vec2> uvs;  // as written to the file (v = 0 at the picture's bottom)
};

inline void addCorner(FixtureMesh& mesh, glm::vec3 p, glm::vec3 n, glm::vec2 uv)
{
    mesh.positions.push_back(p);
    mesh.normals.push_back(n);
    mesh.uvs.push_back(uv);
}

// A flat quad around `center` spanned by the half-axes u and v; its normal is cross(u, v).
inline void addQuad(FixtureMesh& mesh, glm::vec3 center, glm::vec3 u, glm::vec3 v, float uvRepeat = 1.0f)
{
    const glm::vec3 n = glm::normalize(glm::cross(u, v));
    const glm::vec3 p[4] = {center - u - v, center + u - v, center + u + v, center - u + v};
    const glm::vec2 t[4] = {{0, 0}, {uvRepeat, 0}, {uvRepeat, uvRepeat}, {0, uvRepeat}};
    for (int k : {0, 1, 2, 0, 2, 3}) {
        addCorner(mesh, p[k], n, t[k]);
    }
}

inline FixtureMesh planeMesh(float halfSize, float uvRepeat)
{
    FixtureMesh mesh;
    addQuad(mesh, glm::vec3(0), glm::vec3(halfSize, 0, 0), glm::vec3(0, 0, -halfSize), uvRepeat);
    return mesh;
}

inline FixtureMesh boxMesh(glm::vec3 half)
{
    FixtureMesh mesh;
    const glm::vec3 x(half.x, 0, 0), y(0, half.y, 0), z(0, 0, half.z);
    addQuad(mesh, z, x, y);    // front (+z)
    addQuad(mesh, -z, -x, y);  // back
    addQuad(mesh, x, -z, y);   // right (+x)
    addQuad(mesh, -x, z, y);   // left
    addQuad(mesh, y, x, -z);   // top
    addQuad(mesh, -y, x, z);   // bottom
    return mesh;
}

// A UV sphere; u runs around the equator, v from the bottom pole (0) to the top (1).
inline FixtureMesh sphereMesh(float radius, int stacks, int slices)
{
    FixtureMesh mesh;
    auto point = [&](int i, int j) {
        const float theta = glm::pi<float>() * static_cast<float>(i) / static_cast<float>(stacks);
        const float phi = glm::two_pi<float>() * static_cast<float>(j) / static_cast<float>(slices);
        return glm::vec3(std::sin(theta) * std::sin(phi), std::cos(theta), std::sin(theta) * std::cos(phi));
    };
    auto uv = [&](int i, int j) {
        return glm::vec2(static_cast<float>(j) / static_cast<float>(slices),
                         1.0f - static_cast<float>(i) / static_cast<float>(stacks));
    };
    auto corner = [&](int i, int j) { addCorner(mesh, point(i, j) * radius, point(i, j), uv(i, j)); };
    for (int i = 0; i < stacks; ++i) {
        for (int j = 0; j < slices; ++j) {
            if (i != stacks - 1) {  // the triangle touching the bottom pole would be degenerate
                corner(i, j);
                corner(i + 1, j);
                corner(i + 1, j + 1);
            }
            if (i != 0) {  // likewise at the top pole
                corner(i, j);
                corner(i + 1, j + 1);
                corner(i, j + 1);
            }
        }
    }
    return mesh;
}

// OBJ text, one v/vt/vn triple per corner; `materialLibrary` empty writes no material at all.
inline std::string objText(const FixtureMesh& mesh, const std::string& materialLibrary, bool withUvs = true,
                           bool withNormals = true)
{
    std::string text;
    char line[160];
    if (!materialLibrary.empty()) {
        text += "mtllib " + materialLibrary + "\n";
    }
    for (const glm::vec3& p : mesh.positions) {
        snprintf(line, sizeof line, "v %.6f %.6f %.6f\n", p.x, p.y, p.z);
        text += line;
    }
    for (const glm::vec2& t : mesh.uvs) {
        snprintf(line, sizeof line, "vt %.6f %.6f\n", t.x, t.y);
        text += withUvs ? line : "";
    }
    for (const glm::vec3& n : mesh.normals) {
        snprintf(line, sizeof line, "vn %.6f %.6f %.6f\n", n.x, n.y, n.z);
        text += withNormals ? line : "";
    }
    if (!materialLibrary.empty()) {
        text += "usemtl surface\n";
    }
    for (size_t k = 1; k + 2 <= mesh.positions.size(); k += 3) {
        text += "f";
        for (size_t c = k; c < k + 3; ++c) {
            if (withUvs && withNormals) {
                snprintf(line, sizeof line, " %zu/%zu/%zu", c, c, c);
            } else if (withUvs) {
                snprintf(line, sizeof line, " %zu/%zu", c, c);
            } else if (withNormals) {
                snprintf(line, sizeof line, " %zu//%zu", c, c);
            } else {
                snprintf(line, sizeof line, " %zu", c);
            }
            text += line;
        }
        text += "\n";
    }
    return text;
}

// A material "surface" with a colour map and, when given, an opacity-slot map (the normal map).
inline std::string mtlText(const std::string& colourPath, const std::string& normalMapPath)
{
    std::string text = "newmtl surface\nKd 1 1 1\n";
    if (!colourPath.empty()) {
        text += "map_Kd " + colourPath + "\n";
    }
    if (!normalMapPath.empty()) {
        text += "map_d " + normalMapPath + "\n";
    }
    return text;
}

// An RGBA PNG whose pixel (x, y), y counted from the top row, is pixel(x, y).
inline bool writePng(const std::string& path, unsigned width, unsigned height,
                     const std::function<glm::u8vec4(unsigned, unsigned)>& pixel)
{
    std::vector<unsigned char> rgba(static_cast<size_t>(width) * height * 4);
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            const glm::u8vec4 c = pixel(x, y);
            unsigned char* out = &rgba[(static_cast<size_t>(y) * width + x) * 4];
            out[0] = c.r, out[1] = c.g, out[2] = c.b, out[3] = c.a;
        }
    }
    return lodepng::encode(path, rgba, width, height) == 0;
}

// A tangent-space normal map of round studs, `cells` per side, each a spherical cap on a flat
// base; seen the right way up in the picture (green points to the picture's top).
inline bool writeBumpNormalMap(const std::string& path, unsigned size, int cells)
{
    return writePng(path, size, size, [&](unsigned x, unsigned y) {
        const float s = (static_cast<float>(x) + 0.5f) / static_cast<float>(size) * static_cast<float>(cells);
        const float t =
            (1.0f - (static_cast<float>(y) + 0.5f) / static_cast<float>(size)) * static_cast<float>(cells);
        const glm::vec2 d(s - std::floor(s) - 0.5f, t - std::floor(t) - 0.5f);
        const float radius = 0.38f;
        const float r2 = glm::dot(d, d);
        const glm::vec3 n = r2 < radius * radius ? glm::normalize(glm::vec3(d, std::sqrt(radius * radius - r2)))
                                                 : glm::vec3(0, 0, 1);
        const glm::vec3 c = (n * 0.5f + 0.5f) * 255.0f + 0.5f;
        return glm::u8vec4(static_cast<unsigned char>(c.x), static_cast<unsigned char>(c.y),
                           static_cast<unsigned char>(c.z), 255);
    });
}
