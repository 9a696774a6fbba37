// The stage's fixed content (models, placements, toon colours, starting look) and its per-frame
// work: light motion, stone spin and the three passes.
#include "app/scene.h"

#include "app/load_timings.h"
#include "assets/model_file.h"
#include "gl/gl_entry_points.h"
#include "platform/asset_path.h"
#include "render/shaded_pass.h"

#include <assimp/postprocess.h>
#include <assimp/scene.h>

namespace {

// Triangulated, smooth normals, V flipped: the model loader relies on exactly these.
constexpr unsigned modelImportFlags = aiProcess_Triangulate | aiProcess_GenSmoothNormals | aiProcess_FlipUVs;
static_assert(modelImportFlags == 0x800048, "the model loader's import contract");

struct ModelEntry {
    SceneObject Scene::*object;
    const char* path;
    bool useBumpMap;
};

// Load order; each object has its own importer (the goombas read the same file twice).
constexpr ModelEntry models[9] = {
    {&Scene::background, "models\\background.obj", false}, {&Scene::stone, "models\\stone2.obj", true},
    {&Scene::ground, "models\\ground.obj", true},          {&Scene::luigi, "models\\luigi_bl_mat.obj", true},
    {&Scene::mario, "models\\mario_bl_mat.obj", true},     {&Scene::turmGross, "models\\turm_gross.obj", false},
    {&Scene::turmKlein, "models\\turm_klein.obj", false},  {&Scene::goomba1, "models\\goomba.obj", false},
    {&Scene::goomba2, "models\\goomba.obj", false},
};

// Shadow pass, shaded pass and release order.
constexpr SceneObject Scene::*fullList[9] = {
    &Scene::background, &Scene::ground,    &Scene::stone,   &Scene::mario,   &Scene::luigi,
    &Scene::turmGross,  &Scene::turmKlein, &Scene::goomba1, &Scene::goomba2,
};

// The background and the ground get no contour.
constexpr SceneObject Scene::*outlineList[7] = {
    &Scene::stone,     &Scene::mario,   &Scene::luigi,   &Scene::turmGross,
    &Scene::turmKlein, &Scene::goomba1, &Scene::goomba2,
};

glm::mat3 toonColors(glm::vec3 lit, glm::vec3 middle, glm::vec3 shade)
{
    return glm::mat3(lit, middle, shade);
}

// Light sweep along z: turns back once it has passed these bounds, at lightSpeed units/s.
constexpr float lightTurnFront = 5.0f;
constexpr float lightTurnBack = -7.0f;
constexpr double lightSpeed = 2.0;
constexpr double stoneSpinDegreesPerSecond = 10.0;

}  // namespace

bool Scene::load(GLFWwindow* window)
{
    const double rendererStart = loadTimingClock();
    renderer = Renderer(window);
    loadTimings.rendererSeconds = loadTimingClock() - rendererStart;
    glErrorCheckpoint("END CREATE ENGINE");

    const GLuint positionAttrib = static_cast<GLuint>(renderer.attributeCounter + 1);
    const GLuint normalAttrib = static_cast<GLuint>(renderer.attributeCounter + 2);
    const GLuint uvAttrib = static_cast<GLuint>(renderer.attributeCounter + 3);
    renderer.attributeCounter += 3;

    for (int i = 0; i < 9; ++i) {
        const std::string path = hostPath(models[i].path);
        const double readStart = loadTimingClock();
        std::string failure;
        const aiScene* imported = readModelFile(importers[i], path, modelImportFlags, failure);
        const double uploadStart = loadTimingClock();
        loadTimings.modelReadSeconds[i] = uploadStart - readStart;
        if (imported == nullptr) {
            loadFailure = "Cannot read model file " + path + ": " + failure +
                          " (the models are made by the build: rebuild, and run from the build's run/ folder)";
            return false;
        }
        const double texturesBefore = loadTimings.textureSeconds;
        this->*models[i].object =
            SceneObject(imported, positionAttrib, normalAttrib, uvAttrib, models[i].useBumpMap);
        loadTimings.modelUploadSeconds[i] = loadTimingClock() - uploadStart;
        loadTimings.modelTextureSeconds[i] = loadTimings.textureSeconds - texturesBefore;
    }
    glErrorCheckpoint("END LOAD OBJECTS");

    mario.rotate(180.0f, 1, 0);
    mario.translate(0.7f, 1.8f, 0.0f);
    luigi.rotate(180.0f, 1, 0);
    luigi.translate(0.0f, 1.1f, -2.0f);
    stone.translate(0.0f, 4.0f, -4.0f);
    goomba1.scale(0.3f, 0.3f, 0.3f);
    goomba1.translate(0.0f, 1.3f, -5.0f);
    goomba2.scale(0.3f, 0.3f, 0.3f);
    goomba2.translate(0.0f, 1.3f, -10.0f);
    turmKlein.translate(0.0f, 0.0f, 2.0f);
    glErrorCheckpoint("END MOVE OBJECTS");

    for (SceneObject Scene::*member : fullList) {
        SceneObject& object = this->*member;
        object.program = renderer.toonProgram;
        object.useBumpMap = false;
        object.toonColor = toonColors({0.2f, 0.8f, 0.8f}, {0.0f, 0.6f, 0.8f}, {0.0f, 0.4f, 0.6f});
    }
    mario.toonColor = toonColors({0.8f, 0.4f, 0.0f}, {0.431f, 0.286f, 0.024f}, {0.435f, 0.294f, 0.024f});
    luigi.toonColor = toonColors({0.463f, 0.698f, 0.145f}, {0.306f, 0.573f, 0.082f}, {0.275f, 0.376f, 0.047f});
    goomba1.toonColor = toonColors({1.0f, 1.0f, 0.4f}, {0.6f, 0.8f, 0.2f}, {0.4f, 0.6f, 0.2f});
    goomba2.toonColor = goomba1.toonColor;
    renderer.shadowsEnabled = false;
    renderer.autoCamera = true;
    return true;
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
    stone.rotate(static_cast<float>(dt * stoneSpinDegreesPerSecond), 0, 1);
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
    for (SceneObject Scene::*member : fullList) {
        if (renderer.shadowsEnabled) {
            renderer.drawDepth(this->*member);
        }
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void Scene::renderOutlinePass()
{
    renderer.beginOutlinePass();
    for (SceneObject Scene::*member : outlineList) {
        renderer.drawOutline(this->*member);
    }
}

void Scene::renderShadedPass()
{
    setUpShadedPass(renderer);
    for (SceneObject Scene::*member : fullList) {
        renderer.drawShaded(this->*member);
    }
}

void Scene::release()
{
    for (SceneObject Scene::*member : fullList) {
        const SceneObject& object = this->*member;
        glDeleteBuffers(1, &object.positionBuffer);
        glDeleteBuffers(1, &object.uvBuffer);
        glDeleteBuffers(1, &object.normalBuffer);
        glDeleteBuffers(1, &object.indexBuffer);
    }
    glDeleteProgram(renderer.shadowMappingProgram);
    glDeleteProgram(renderer.depthRttProgram);
    glDeleteProgram(renderer.toonProgram);
    glDeleteProgram(renderer.wireframeProgram);
    glDeleteProgram(renderer.bumpMappingProgram);
    glDeleteTextures(1, &renderer.shadowDepthTexture);
    glDeleteFramebuffers(1, &renderer.shadowFramebuffer);
    for (SceneObject Scene::*member : fullList) {
        const SceneObject& object = this->*member;
        glDeleteTextures(1, &object.diffuseTexture);
        glDeleteTextures(1, &object.bumpTexture);
    }
}
