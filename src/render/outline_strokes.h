// How the outline pass draws its strokes. Desktop GL draws the back faces as wide lines
// (outline_strokes_desktop.cpp). WebGL 2 has no polygon modes and most browsers draw lines one
// pixel wide, so the web draws each back face's three edges as quads of the same width, widened
// along their minor axis as GL widens a wide line, from a buffer made at load
// (outline_strokes_web.cpp).
#pragma once
#include "assets/scene_object.h"

struct Renderer;

// The contour's width in pixels: bold at every display size.
constexpr float outlineWidth = 5.0f;

// At load, for an object that gets a contour: what its strokes need beside the mesh.
void prepareOutlineStrokes(SceneObject& object);
// At the start of the outline pass, once the camera is updated: the state every stroke shares.
void beginOutlineStrokes(const Renderer& renderer);
// One object's strokes, with the Wireframe program current and its MVP uploaded: the edges of the
// first `vertexCount` vertices' triangles.
void drawOutlineStrokes(const SceneObject& object, GLsizei vertexCount);
// Before the shaded pass: filled polygons without offset again.
void endOutlineStrokes();
