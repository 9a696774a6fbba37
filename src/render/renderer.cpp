// Renderer set-up: the five programs, their uniform locations and the shadow-map target.
#include "render/renderer.h"

#include "assets/shader_program.h"
#include "render/light_rig.h"
#include "render/outline_quads.h"
#include "render/outline_strokes.h"
#include "render/shadow_target.h"

#include <GLFW/glfw3.h>

const RendererProgram rendererPrograms[rendererProgramCount] = {
    {"ShadowMapping", &Renderer::shadowMappingProgram}, {"Toon", &Renderer::toonProgram},
    {"Wireframe", &Renderer::wireframeProgram},         {"BumpMapping", &Renderer::bumpMappingProgram},
    {"DepthRTT", &Renderer::depthRttProgram},
};

namespace {

// The uniforms that both textured styles' programs share (their shaders share the code that reads
// them), and the fields each program's locations go to.
constexpr const char* litUniformNames[] = {"MVP",
                                           "V",
                                           "LightPosition_worldspace",
                                           "DepthBiasMVP",
                                           "shadowMap",
                                           "LightInvDirection_worldspace",
                                           "M",
                                           "myTextureSampler"};
constexpr int litUniformCount = sizeof(litUniformNames) / sizeof(litUniformNames[0]);
using LocationField = GLint Renderer::*;
constexpr LocationField shadowLitLocations[litUniformCount] = {
    &Renderer::shadowMvpLocation,           &Renderer::shadowViewLocation,
    &Renderer::shadowLightPositionLocation, &Renderer::shadowDepthBiasMvpLocation,
    &Renderer::shadowMapLocation,           &Renderer::shadowLightInvDirectionLocation,
    &Renderer::shadowModelLocation,         &Renderer::shadowTextureSamplerLocation};
constexpr LocationField bumpLitLocations[litUniformCount] = {
    &Renderer::bumpMvpLocation,           &Renderer::bumpViewLocation,
    &Renderer::bumpLightPositionLocation, &Renderer::bumpDepthBiasMvpLocation,
    &Renderer::bumpShadowMapLocation,     &Renderer::bumpLightInvDirectionLocation,
    &Renderer::bumpModelLocation,         &Renderer::bumpTextureSamplerLocation};

void lookUpLitUniforms(Renderer& renderer, GLuint program, const LocationField (&fields)[litUniformCount])
{
    for (int i = 0; i < litUniformCount; ++i) {
        renderer.*fields[i] = glGetUniformLocation(program, litUniformNames[i]);
    }
}

// Looks every uniform location up in the five programs; leaves the ShadowMapping program current.
void lookUpUniforms(Renderer& renderer)
{
    renderer.depthMvpLocation = glGetUniformLocation(renderer.depthRttProgram, "depthMVP");
    glUseProgram(renderer.shadowMappingProgram);
    renderer.wireframeMvpLocation = glGetUniformLocation(renderer.wireframeProgram, "MVP");
    if (renderer.outlineQuads) {
        renderer.wireframeViewportSizeLocation = glGetUniformLocation(renderer.wireframeProgram, "viewportSize");
        renderer.wireframeStrokeWidthLocation = glGetUniformLocation(renderer.wireframeProgram, "strokeWidth");
    }

    lookUpLitUniforms(renderer, renderer.shadowMappingProgram, shadowLitLocations);
    lookUpLitUniforms(renderer, renderer.bumpMappingProgram, bumpLitLocations);
    renderer.bumpCameraPositionLocation =
        glGetUniformLocation(renderer.bumpMappingProgram, "Cameraposition_worldspace");
    renderer.bumpSamplerLocation = glGetUniformLocation(renderer.bumpMappingProgram, "myBumpSampler");

    renderer.toonColorLocation = glGetUniformLocation(renderer.toonProgram, "toonColor");
    renderer.toonMvpLocation = glGetUniformLocation(renderer.toonProgram, "MVP");
    renderer.toonViewLocation = glGetUniformLocation(renderer.toonProgram, "V");
    renderer.toonModelLocation = glGetUniformLocation(renderer.toonProgram, "M");
    renderer.toonLightInvDirectionLocation =
        glGetUniformLocation(renderer.toonProgram, "LightInvDirection_worldspace");
}

}  // namespace

Renderer::Renderer(GLFWwindow* window, bool forceOutlineQuads) : window(window)
{
    glfwGetFramebufferSize(window, &viewportWidth, &viewportHeight);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    outlineQuads = chooseOutlineQuads(forceOutlineQuads);
    outlineStrokeWidth = outlineWidth;

    for (const RendererProgram& entry : rendererPrograms) {
        const ProgramFiles files = programFiles(entry, outlineQuads);
        this->*entry.program = loadShaderProgram(files.vertex.c_str(), files.fragment.c_str());
    }

    lookUpUniforms(*this);

    // The shadow map is sampled as plain depth values; the shaders do their own comparison.
    glGenTextures(1, &shadowDepthTexture);
    glBindTexture(GL_TEXTURE_2D, shadowDepthTexture);
    allocateShadowDepth(shadowMapSize);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, 0);

    glGenFramebuffers(1, &shadowFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, shadowFramebuffer);
    attachShadowDepth(shadowDepthTexture);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    lightPosition = lightStart;
}

void Renderer::replaceProgram(GLuint from, GLuint to)
{
    for (const RendererProgram& entry : rendererPrograms) {
        if (this->*entry.program == from) {
            this->*entry.program = to;
        }
    }
    lookUpUniforms(*this);
}

ProgramFiles programFiles(const RendererProgram& program, bool outlineQuads)
{
    ProgramFiles files{program.name + std::string(shaderFileSuffixes[0]),
                       program.name + std::string(shaderFileSuffixes[1])};
    if (outlineQuads && program.program == &Renderer::wireframeProgram) {
        files.vertex = outlineQuadVertexFile;
    }
    return files;
}

float viewportAspect(const Renderer& renderer)
{
    return static_cast<float>(renderer.viewportWidth) / static_cast<float>(renderer.viewportHeight);
}
