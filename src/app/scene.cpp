// Loading the stage table's models into placed, coloured objects in the starting look, and the
// per-frame work: light motion, stone spin and the three passes.
#include "app/scene.h"

#include "app/load_timings.h"
#include "assets/model_file.h"
#include "assets/texture.h"
#include "gl/gl_entry_points.h"
#include "platform/asset_path.h"
#include "render/light_rig.h"
#include "render/outline_strokes.h"
#include "render/shaded_pass.h"

#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <chrono>

namespace {

// Triangulated, smooth normals, V flipped: the model loader relies on exactly these.
constexpr unsigned modelImportFlags = aiProcess_Triangulate | aiProcess_GenSmoothNormals | aiProcess_FlipUVs;
static_assert(modelImportFlags == 0x800048, "the model loader's import contract");

constexpr double stoneSpinDegreesPerSecond = 10.0;

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void place(SceneObject& object, const StagePlacement& placement)
{
    if (placement.turnDegrees != 0.0f) {
        object.rotate(placement.turnDegrees, 1, 0);
    }
    if (placement.scale != 1.0f) {
        object.scale(placement.scale, placement.scale, placement.scale);
    }
    if (placement.offset != glm::vec3(0.0f)) {
        object.translate(placement.offset.x, placement.offset.y, placement.offset.z);
    }
}

}  // namespace

bool Scene::load(GLFWwindow* window, LoadTimings* timings)
{
    // Times go to a scratch record when nobody asked for them, so the steps below read the same.
    LoadTimings unused;
    LoadTimings& times = timings != nullptr ? *timings : unused;
    const auto rendererStart = std::chrono::steady_clock::now();
    renderer = Renderer(window, forceOutlineQuads);
    times.rendererSeconds = secondsSince(rendererStart);
    glErrorCheckpoint("END CREATE ENGINE");

    const GLuint positionAttrib = static_cast<GLuint>(renderer.attributeCounter + 1);
    const GLuint normalAttrib = static_cast<GLuint>(renderer.attributeCounter + 2);
    const GLuint uvAttrib = static_cast<GLuint>(renderer.attributeCounter + 3);
    renderer.attributeCounter += 3;

    for (int i = 0; i < stageObjectCount; ++i) {
        const StageEntry& entry = stageEntries[i];
        const std::string path = hostPath(entry.modelPath);
        const auto readStart = std::chrono::steady_clock::now();
        std::string failure;
        const aiScene* imported = readModelFile(importers[i], path, modelImportFlags, failure);
        times.modelReadSeconds[i] = secondsSince(readStart);
        if (imported == nullptr) {
            loadFailure = "Cannot read model file " + path + ": " + failure +
                          " (the models are made by the build: rebuild, and run from the build's run/ folder)";
            return false;
        }
        const auto uploadStart = std::chrono::steady_clock::now();
        TextureLoadTimes textures;
        objects[i] = SceneObject(imported, positionAttrib, normalAttrib, uvAttrib, entry.loadsBumpMap, &textures);
        if (entry.outlined) {
            prepareOutlineStrokes(renderer, objects[i]);
        }
        times.modelUploadSeconds[i] = secondsSince(uploadStart);
        times.modelTextureSeconds[i] = textures.seconds;
        times.textureSeconds += textures.seconds;
        times.textureCount += textures.count;
    }
    glErrorCheckpoint("END LOAD OBJECTS");

    placeObjects();
    glErrorCheckpoint("END MOVE OBJECTS");

    for (int i = 0; i < stageObjectCount; ++i) {
        const ToonColors& toon = stageEntries[i].toon;
        objects[i].program = renderer.toonProgram;
        objects[i].useBumpMap = false;
        objects[i].toonColor = glm::mat3(toon.lit, toon.middle, toon.shade);
    }
    renderer.shadowsEnabled = false;
    renderer.autoCamera = true;
    return true;
}

void Scene::placeObjects()
{
    for (int i = 0; i < stageObjectCount; ++i) {
        place(objects[i], stageEntries[i].placement);
    }
}

void Scene::animate(double dt)
{
    const float z = renderer.lightPosition.z;
    if (z > lightTurnFront) {
        lightDirection = -1;
    } else if (z < lightTurnBack) {
        lightDirection = 1;
    }
    renderer.lightPosition.z += static_cast<float>(dt * lightSpeed * lightDirection);
    object(StageObject::stone).rotate(static_cast<float>(dt * stoneSpinDegreesPerSecond), 0, 1);
}

void Scene::render()
{
    renderShadowPass();
    renderOutlinePass();
    renderShadedPass();
}

void Scene::renderShadowPass()
{
    renderer.beginShadowPass();
    for (StageObject which : stageDrawOrder) {
        if (renderer.shadowsEnabled) {
            renderer.drawDepth(object(which));
        }
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void Scene::renderOutlinePass()
{
    renderer.beginOutlinePass();
    for (StageObject which : stageDrawOrder) {
        if (stageEntry(which).outlined) {
            renderer.drawOutline(object(which));
        }
    }
}

void Scene::renderShadedPass()
{
    setUpShadedPass(renderer);
    for (StageObject which : stageDrawOrder) {
        renderer.drawShaded(object(which));
    }
}

void Scene::replaceProgram(GLuint from, GLuint to)
{
    for (SceneObject& object : objects) {
        if (object.program == from) {
            object.program = to;
        }
    }
    renderer.replaceProgram(from, to);
}

void Scene::release()
{
    for (StageObject which : stageDrawOrder) {
        const SceneObject& object = this->object(which);
        glDeleteBuffers(1, &object.positionBuffer);
        glDeleteBuffers(1, &object.uvBuffer);
        glDeleteBuffers(1, &object.normalBuffer);
        glDeleteBuffers(1, &object.indexBuffer);
        glDeleteBuffers(1, &object.outlineQuads.vertexBuffer);
        glDeleteBuffers(1, &object.outlineQuads.indexBuffer);
        glDeleteVertexArrays(1, &object.outlineQuads.vertexArray);
    }
    glDeleteProgram(renderer.shadowMappingProgram);
    glDeleteProgram(renderer.depthRttProgram);
    glDeleteProgram(renderer.toonProgram);
    glDeleteProgram(renderer.wireframeProgram);
    glDeleteProgram(renderer.bumpMappingProgram);
    glDeleteTextures(1, &renderer.shadowDepthTexture);
    glDeleteFramebuffers(1, &renderer.shadowFramebuffer);
    for (StageObject which : stageDrawOrder) {
        const SceneObject& object = this->object(which);
        glDeleteTextures(1, &object.diffuseTexture);
        glDeleteTextures(1, &object.bumpTexture);
    }
}
