// Making the show's GL objects again after a lost context.
#include "graphics_rebuild.h"

#include "app/scene.h"
#include "app/window.h"
#include "render/outline_strokes.h"
#include "show_start.h"

namespace {

// The GL objects of `from`, and what was read with them, into `into`, whose place and look stay.
void takeGlObjects(SceneObject& into, const SceneObject& from)
{
    into.vertexArray = from.vertexArray;
    into.mesh = from.mesh;
    into.indexBuffer = from.indexBuffer;
    into.positionBuffer = from.positionBuffer;
    into.normalBuffer = from.normalBuffer;
    into.uvBuffer = from.uvBuffer;
    into.tangentBuffer = from.tangentBuffer;
    into.bitangentBuffer = from.bitangentBuffer;
    into.outlineQuads = from.outlineQuads;
    into.diffuseTexture = from.diffuseTexture;
    into.bumpTexture = from.bumpTexture;
}

// The program in `to` that has the place `program` has in `from`.
GLuint sameProgram(const Renderer& from, const Renderer& to, GLuint program)
{
    for (const RendererProgram& entry : rendererPrograms) {
        if (from.*entry.program == program) {
            return to.*entry.program;
        }
    }
    return program;
}

}  // namespace

void rebuildGraphics(GLFWwindow* window, Scene& scene, ShowStart& start)
{
    prepareContext(window);
    const Renderer lost = scene.renderer;
    scene.renderer = Renderer(window, scene.forceOutlineQuads);
    Renderer& renderer = scene.renderer;
    renderer.lightPosition = lost.lightPosition;
    renderer.shadowsEnabled = lost.shadowsEnabled;
    renderer.autoCamera = lost.autoCamera;
    renderer.attributeCounter = lost.attributeCounter;
    for (int i = 0; i < stageObjectCount; ++i) {
        SceneObject& object = scene.objects[i];
        const SceneObject made(scene.importers[i].GetScene(), object.positionAttrib, object.normalAttrib,
                               object.uvAttrib, stageEntries[i].loadsBumpMap);
        takeGlObjects(object, made);
        takeGlObjects(start.objects[i], made);
        if (stageEntries[i].outlined) {
            prepareOutlineStrokes(renderer, object);
            start.objects[i].outlineQuads = object.outlineQuads;
        }
        object.program = sameProgram(lost, renderer, object.program);
    }
}
