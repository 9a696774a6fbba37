// The geometry binding of the passes that feed positions only (shadow depth and outline).
#pragma once
#include "assets/scene_object.h"

inline void bindPositionsOnly(const SceneObject& object)
{
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, object.indexBuffer);
    glBindVertexArray(object.vertexArray);
    glEnableVertexAttribArray(object.positionAttrib);
    glBindBuffer(GL_ARRAY_BUFFER, object.positionBuffer);
    glVertexAttribPointer(object.positionAttrib, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
}
