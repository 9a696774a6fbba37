// Contour strokes as quads, for a GL that cannot draw the contour's wide lines: WebGL always, and
// desktop drivers that cap the line width below it. Every edge of a mesh is one quad of four
// vertices, drawn when either triangle that shares the edge faces away from the eye: the edges a
// back-face line pass draws, each once. The OutlineQuads vertex stage places the corners on screen,
// widened along the edge's minor axis as GL widens a wide line, so both ways draw the same contour.
#pragma once
#include "assets/scene_object.h"

#include <assimp/vector3.h>

#include <vector>

struct Renderer;

// Per vertex: the edge's start and end, the third corner of the triangle that runs start -> end,
// that of the triangle that runs end -> start with w = 1 (w = 0 where the edge has no such
// triangle), and the vertex's corner of the quad.
constexpr int outlineQuadFloats = 3 + 3 + 3 + 4 + 2;

struct OutlineQuadMesh {
    std::vector<float> vertices;  // outlineQuadFloats each, four per edge
    std::vector<GLuint> indices;  // two triangles per edge
};

// The quads of a mesh given as consecutive triangles (`cornerCount` / 3 of them). Corners at the
// same position are one point, whatever else differs between them (normals, texture seams).
OutlineQuadMesh buildOutlineQuadMesh(const aiVector3D* corners, unsigned cornerCount);

// The vertex stage of the Wireframe program when the contour is drawn as quads.
inline constexpr const char* outlineQuadVertexFile = "OutlineQuads.vertexshader";

// The object's quads into buffers of its own, with a vertex array that feeds them.
void uploadOutlineQuads(SceneObject& object);
// Culling off, the Wireframe program current and the uniforms every object's quads share.
void beginOutlineQuads(const Renderer& renderer);
void drawOutlineQuads(const SceneObject& object);
