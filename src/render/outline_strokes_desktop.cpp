// Contour strokes on desktop GL: the back faces drawn in line mode with wide lines. The core
// context is not forward-compatible, so widths above 1 are honoured.
#include "render/outline_strokes.h"

#include "render/position_binding.h"

void prepareOutlineStrokes(SceneObject& /*object*/) {}

void beginOutlineStrokes(const Renderer& /*renderer*/)
{
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glLineWidth(outlineWidth);
}

void drawOutlineStrokes(const SceneObject& object, GLsizei vertexCount)
{
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
