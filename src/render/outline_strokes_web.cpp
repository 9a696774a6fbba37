// Contour strokes on WebGL 2: every triangle's three edges as quads, 18 vertices a triangle, each
// vertex carrying its edge's two ends, the triangle's third corner (for the facing test) and its
// corner of the quad. The Wireframe vertex stage of the web build (web/shader/) culls the front
// faces and places the corners on screen; drawing the quads from one expanded buffer costs a
// tenth of what instancing them does on software rasterizers.
#include "render/outline_strokes.h"

#include "render/renderer.h"

#include <assimp/mesh.h>

#include <vector>

namespace {

constexpr int strokeFloats = 11;  // edge start, edge end, third corner, quad corner
constexpr GLsizei strokeStride = strokeFloats * sizeof(float);
constexpr int strokeVerticesPerTriangle = 18;
// The two triangles of an edge's quad, as (end, side): end 0 at the edge's start, 1 at its end;
// side -1 or +1 across it.
constexpr float quadCorners[6][2] = {{0, -1}, {1, -1}, {1, 1}, {0, -1}, {1, 1}, {0, 1}};

void appendStrokeVertex(std::vector<float>& out, const aiVector3D& start, const aiVector3D& end,
                        const aiVector3D& third, const float corner[2])
{
    for (const aiVector3D* point : {&start, &end, &third}) {
        out.push_back(point->x);
        out.push_back(point->y);
        out.push_back(point->z);
    }
    out.push_back(corner[0]);
    out.push_back(corner[1]);
}

}  // namespace

void prepareOutlineStrokes(SceneObject& object)
{
    const aiMesh* mesh = object.mesh;
    if (mesh == nullptr || mesh->mVertices == nullptr || mesh->mNumVertices < 3) {
        return;
    }
    const unsigned triangles = mesh->mNumVertices / 3;
    std::vector<float> strokes;
    strokes.reserve(static_cast<size_t>(triangles) * strokeVerticesPerTriangle * strokeFloats);
    for (unsigned t = 0; t < triangles; ++t) {
        const aiVector3D* corner = mesh->mVertices + 3 * t;
        for (int edge = 0; edge < 3; ++edge) {
            // The edges in the triangle's own winding, so (start, end, third) keeps its facing.
            const aiVector3D& start = corner[edge];
            const aiVector3D& end = corner[(edge + 1) % 3];
            const aiVector3D& third = corner[(edge + 2) % 3];
            for (const auto& quadCorner : quadCorners) {
                appendStrokeVertex(strokes, start, end, third, quadCorner);
            }
        }
    }
    glGenBuffers(1, &object.outlineStrokeBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, object.outlineStrokeBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(strokes.size() * sizeof(float)), strokes.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void beginOutlineStrokes(const Renderer& renderer)
{
    // The quads' own winding says nothing; the vertex stage culls by the triangle's facing, and the
    // shaded pass's set-up switches culling on again.
    glDisable(GL_CULL_FACE);
    glUseProgram(renderer.wireframeProgram);
    glUniform2f(glGetUniformLocation(renderer.wireframeProgram, "viewportSize"),
                static_cast<float>(renderer.viewportWidth), static_cast<float>(renderer.viewportHeight));
    glUniform1f(glGetUniformLocation(renderer.wireframeProgram, "strokeWidth"), outlineWidth);
}

void drawOutlineStrokes(const SceneObject& object, GLsizei vertexCount)
{
    if (object.outlineStrokeBuffer == 0) {
        return;
    }
    glBindVertexArray(object.vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, object.outlineStrokeBuffer);
    for (GLuint attribute = 0; attribute < 4; ++attribute) {
        glEnableVertexAttribArray(attribute);
        const GLint components = attribute < 3 ? 3 : 2;
        glVertexAttribPointer(
            attribute, components, GL_FLOAT, GL_FALSE, strokeStride,
            reinterpret_cast<const void*>(static_cast<uintptr_t>(attribute * 3 * sizeof(float))));
    }
    glDrawArrays(GL_TRIANGLES, 0, vertexCount / 3 * strokeVerticesPerTriangle);
    for (GLuint attribute = 0; attribute < 4; ++attribute) {
        glDisableVertexAttribArray(attribute);
    }
}

void endOutlineStrokes()
{
    glPolygonOffset(0.0f, 0.0f);
}
