// Contour strokes on WebGL 2: always quads, as it has no polygon modes and draws lines a pixel wide.
#include "render/outline_strokes.h"

#include "render/outline_quads.h"

bool chooseOutlineQuads(bool /*forceQuads*/)
{
    return true;
}

void prepareOutlineStrokes(const Renderer& /*renderer*/, SceneObject& object)
{
    uploadOutlineQuads(object);
}

void beginOutlineStrokes(const Renderer& renderer)
{
    beginOutlineQuads(renderer);
}

void drawOutlineStrokes(const Renderer& /*renderer*/, const SceneObject& object, GLsizei /*vertexCount*/)
{
    drawOutlineQuads(object);
}

void endOutlineStrokes()
{
    // Nothing to put back: the quads are filled triangles, and the shaded pass's set-up turns
    // culling on again.
}
