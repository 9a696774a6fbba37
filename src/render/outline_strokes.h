// How the outline pass draws its strokes. Desktop GL draws the back faces as wide lines where the
// driver draws lines as wide as the contour; elsewhere, and always on WebGL 2, which has no
// polygon modes and caps lines at a pixel, each edge is drawn as a quad (render/outline_quads.h).
// One file per platform says which (outline_strokes_desktop.cpp, outline_strokes_web.cpp).
#pragma once
#include "assets/scene_object.h"

struct Renderer;

// The contour's width in pixels: bold at every display size.
constexpr float outlineWidth = 5.0f;

// Whether this GL draws the contour as quads: where lines of outlineWidth cannot be drawn, or where
// `forceQuads` asks for them. Prints one line when quads are chosen; reads the GL, so the context
// must be current.
bool chooseOutlineQuads(bool forceQuads);

// At load, for an object that gets a contour: what its strokes need beside the mesh.
void prepareOutlineStrokes(const Renderer& renderer, SceneObject& object);
// At the start of the outline pass, once the camera is updated: the state every stroke shares.
void beginOutlineStrokes(const Renderer& renderer);
// One object's strokes, with the Wireframe program current and its MVP uploaded: the edges of its
// triangles (in line mode those of the first `vertexCount` vertices, which are all of them).
void drawOutlineStrokes(const Renderer& renderer, const SceneObject& object, GLsizei vertexCount);
// In the shaded pass's set-up: filled polygons without offset again.
void endOutlineStrokes();
