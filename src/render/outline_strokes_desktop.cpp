// Contour strokes on desktop GL: the back faces drawn in line mode with wide lines, which the core
// context honours as it is not forward-compatible; quads where the driver caps the width.
#include "render/outline_strokes.h"

#include "render/outline_quads.h"
#include "render/position_binding.h"
#include "render/renderer.h"

#include <cstdio>

bool chooseOutlineQuads(bool forceQuads)
{
    GLfloat widths[2] = {1.0f, 1.0f};
    glGetFloatv(GL_ALIASED_LINE_WIDTH_RANGE, widths);
    if (forceQuads) {
        printf("Contours: drawn as quads, as asked\n");
        return true;
    }
    if (widths[1] < outlineWidth) {
        printf("Contours: drawn as quads, as this driver draws lines at most %g pixels wide\n", widths[1]);
        return true;
    }
    return false;
}

void prepareOutlineStrokes(const Renderer& renderer, SceneObject& object)
{
    if (renderer.outlineQuads) {
        uploadOutlineQuads(object);
    }
}

void beginOutlineStrokes(const Renderer& renderer)
{
    if (renderer.outlineQuads) {
        beginOutlineQuads(renderer);
        return;
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glLineWidth(renderer.outlineStrokeWidth);
}

void drawOutlineStrokes(const Renderer& renderer, const SceneObject& object, GLsizei vertexCount)
{
    if (renderer.outlineQuads) {
        drawOutlineQuads(object);
        return;
    }
    bindPositionsOnly(object);
    glDrawArrays(GL_TRIANGLES, 0, vertexCount);
    glDisableVertexAttribArray(0);
}

void endOutlineStrokes()
{
    glDisable(GL_POLYGON_OFFSET_LINE);
    glPolygonOffset(0.0f, 0.0f);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}
