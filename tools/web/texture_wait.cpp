// Asking the page which textures have arrived.
#include "texture_wait.h"

#include "app/scene.h"

#include <emscripten/emscripten.h>

namespace {

// clang-format off
EM_JS(int, textureArrived, (GLuint texture), {
    return Module.lumarqTextures.isReady(texture) ? 1 : 0;
});
// clang-format on

bool arrived(GLuint texture)
{
    return texture == 0 || textureArrived(texture) != 0;  // an object without texture coordinates has none
}

}  // namespace

bool sceneTexturesArrived(const Scene& scene)
{
    const Renderer& renderer = scene.renderer;
    for (const SceneObject& object : scene.objects) {
        const bool textured =
            object.program == renderer.shadowMappingProgram || object.program == renderer.bumpMappingProgram;
        if ((textured && !arrived(object.diffuseTexture)) || (object.useBumpMap && !arrived(object.bumpTexture))) {
            return false;
        }
    }
    return true;
}

bool allTexturesArrived(const Scene& scene)
{
    for (const SceneObject& object : scene.objects) {
        if (!arrived(object.diffuseTexture) || !arrived(object.bumpTexture)) {
            return false;
        }
    }
    return true;
}
