// Building and drawing the contour's quads.
#include "render/outline_quads.h"

#include "render/renderer.h"

#include <assimp/mesh.h>

#include <cstring>
#include <unordered_map>

namespace {

// The quad's corners as (end, side): end 0 at the edge's start, 1 at its end; side -1 or +1 across.
constexpr float quadCorners[4][2] = {{0, -1}, {1, -1}, {1, 1}, {0, 1}};
constexpr GLuint quadTriangles[6] = {0, 1, 2, 0, 2, 3};

// A corner's position as its exact bits: corners are the same point only where they are equal.
struct PointKey {
    float x, y, z;
    bool operator==(const PointKey& other) const
    {
        return std::memcmp(this, &other, sizeof(PointKey)) == 0;
    }
};
struct PointKeyHash {
    size_t operator()(const PointKey& key) const
    {
        uint32_t bits[3];
        std::memcpy(bits, &key, sizeof(bits));
        return (static_cast<size_t>(bits[0]) * 73856093u) ^ (static_cast<size_t>(bits[1]) * 19349663u) ^
               (static_cast<size_t>(bits[2]) * 83492791u);
    }
};

struct Edge {
    aiVector3D start, end, firstThird, secondThird;
    bool hasSecond = false;
};

void appendEdge(OutlineQuadMesh& mesh, const Edge& edge)
{
    const GLuint first = static_cast<GLuint>(mesh.vertices.size() / outlineQuadFloats);
    for (const auto& corner : quadCorners) {
        for (const aiVector3D* point : {&edge.start, &edge.end, &edge.firstThird}) {
            mesh.vertices.insert(mesh.vertices.end(), {point->x, point->y, point->z});
        }
        mesh.vertices.insert(mesh.vertices.end(), {edge.secondThird.x, edge.secondThird.y, edge.secondThird.z,
                                                   edge.hasSecond ? 1.0f : 0.0f, corner[0], corner[1]});
    }
    for (GLuint index : quadTriangles) {
        mesh.indices.push_back(first + index);
    }
}

}  // namespace

OutlineQuadMesh buildOutlineQuadMesh(const aiVector3D* corners, unsigned cornerCount)
{
    std::unordered_map<PointKey, uint32_t, PointKeyHash> points;
    const auto pointOf = [&points](const aiVector3D& v) {
        return points.emplace(PointKey{v.x, v.y, v.z}, static_cast<uint32_t>(points.size())).first->second;
    };
    // Each edge once, in the order of first appearance. An edge met in the same direction again,
    // or by a third triangle, gets a quad of its own: it is drawn as often as a line pass would.
    std::vector<Edge> edges;
    std::unordered_map<uint64_t, size_t> open;  // start -> end point pair, waiting for end -> start
    const unsigned triangles = cornerCount / 3;
    edges.reserve(static_cast<size_t>(triangles) * 3 / 2 + 3);
    for (unsigned t = 0; t < triangles; ++t) {
        const aiVector3D* corner = corners + 3 * t;
        for (int e = 0; e < 3; ++e) {
            const aiVector3D& start = corner[e];
            const aiVector3D& end = corner[(e + 1) % 3];
            const aiVector3D& third = corner[(e + 2) % 3];
            const uint64_t a = pointOf(start);
            const uint64_t b = pointOf(end);
            const auto reverse = open.find(b << 32 | a);
            if (reverse != open.end()) {
                Edge& shared = edges[reverse->second];
                shared.secondThird = third;
                shared.hasSecond = true;
                open.erase(reverse);
                continue;
            }
            open.emplace(a << 32 | b, edges.size());
            edges.push_back({start, end, third, aiVector3D(0.0f), false});
        }
    }
    OutlineQuadMesh mesh;
    mesh.vertices.reserve(edges.size() * 4 * outlineQuadFloats);
    mesh.indices.reserve(edges.size() * 6);
    for (const Edge& edge : edges) {
        appendEdge(mesh, edge);
    }
    return mesh;
}

void uploadOutlineQuads(SceneObject& object)
{
    const aiMesh* source = object.mesh;
    if (source == nullptr || source->mVertices == nullptr || source->mNumVertices < 3) {
        return;
    }
    const OutlineQuadMesh mesh = buildOutlineQuadMesh(source->mVertices, source->mNumVertices);
    OutlineQuads& quads = object.outlineQuads;
    glGenVertexArrays(1, &quads.vertexArray);
    glBindVertexArray(quads.vertexArray);
    glGenBuffers(1, &quads.vertexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, quads.vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh.vertices.size() * sizeof(float)),
                 mesh.vertices.data(), GL_STATIC_DRAW);
    glGenBuffers(1, &quads.indexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, quads.indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh.indices.size() * sizeof(GLuint)),
                 mesh.indices.data(), GL_STATIC_DRAW);
    // Locations 0 to 4: start, end, first third corner, second third corner, quad corner.
    constexpr GLint components[5] = {3, 3, 3, 4, 2};
    size_t offset = 0;
    for (GLuint location = 0; location < 5; ++location) {
        glEnableVertexAttribArray(location);
        glVertexAttribPointer(location, components[location], GL_FLOAT, GL_FALSE,
                              outlineQuadFloats * sizeof(float), reinterpret_cast<const void*>(offset));
        offset += components[location] * sizeof(float);
    }
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    quads.indexCount = static_cast<GLsizei>(mesh.indices.size());
}

void beginOutlineQuads(const Renderer& renderer)
{
    // The quads' own winding says nothing: the vertex stage culls by the triangles' facing. The
    // shaded pass's set-up switches culling on again.
    glDisable(GL_CULL_FACE);
    glUseProgram(renderer.wireframeProgram);
    glUniform2f(renderer.wireframeViewportSizeLocation, static_cast<float>(renderer.viewportWidth),
                static_cast<float>(renderer.viewportHeight));
    glUniform1f(renderer.wireframeStrokeWidthLocation, renderer.outlineStrokeWidth);
}

void drawOutlineQuads(const SceneObject& object)
{
    if (object.outlineQuads.vertexArray == 0) {
        return;
    }
    glBindVertexArray(object.outlineQuads.vertexArray);
    glDrawElements(GL_TRIANGLES, object.outlineQuads.indexCount, GL_UNSIGNED_INT, nullptr);
    // The other passes bind an index buffer before their vertex array, into whichever array is
    // bound: leave the object's own bound, as the line pass does, never the quads'.
    glBindVertexArray(object.vertexArray);
}
