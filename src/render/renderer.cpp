// Renderer set-up: the five programs, their uniform locations and the shadow-map target.
#include "render/renderer.h"

#include "assets/shader_program.h"

#include <GLFW/glfw3.h>

const RendererProgram rendererPrograms[rendererProgramCount] = {
    {"ShadowMapping", &Renderer::shadowMappingProgram}, {"Toon", &Renderer::toonProgram},
    {"Wireframe", &Renderer::wireframeProgram},         {"BumpMapping", &Renderer::bumpMappingProgram},
    {"DepthRTT", &Renderer::depthRttProgram},
};

Renderer::Renderer(GLFWwindow* window) : window(window)
{
    glfwGetFramebufferSize(window, &viewportWidth, &viewportHeight);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);

    for (const RendererProgram& entry : rendererPrograms) {
        this->*entry.program = loadShaderProgramNamed(entry.name);
    }

    lookUpUniforms();

    // The shadow map is sampled as plain depth values; the shaders do their own comparison.
    glGenTextures(1, &shadowDepthTexture);
    glBindTexture(GL_TEXTURE_2D, shadowDepthTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT16, shadowMapSize, shadowMapSize, 0, GL_DEPTH_COMPONENT,
                 GL_FLOAT, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, 0);

    glGenFramebuffers(1, &shadowFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, shadowFramebuffer);
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    glFramebufferTexture(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, shadowDepthTexture, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    lightPosition = glm::vec3(6.0f, 4.0f, 4.0f);
}

void Renderer::lookUpUniforms()
{
    depthMvpLocation = glGetUniformLocation(depthRttProgram, "depthMVP");
    glUseProgram(shadowMappingProgram);
    wireframeMvpLocation = glGetUniformLocation(wireframeProgram, "MVP");

    shadowMvpLocation = glGetUniformLocation(shadowMappingProgram, "MVP");
    shadowViewLocation = glGetUniformLocation(shadowMappingProgram, "V");
    shadowLightPositionLocation = glGetUniformLocation(shadowMappingProgram, "LightPosition_worldspace");
    shadowDepthBiasMvpLocation = glGetUniformLocation(shadowMappingProgram, "DepthBiasMVP");
    shadowMapLocation = glGetUniformLocation(shadowMappingProgram, "shadowMap");
    shadowLightInvDirectionLocation = glGetUniformLocation(shadowMappingProgram, "LightInvDirection_worldspace");
    shadowModelLocation = glGetUniformLocation(shadowMappingProgram, "M");
    shadowTextureSamplerLocation = glGetUniformLocation(shadowMappingProgram, "myTextureSampler");

    bumpMvpLocation = glGetUniformLocation(bumpMappingProgram, "MVP");
    bumpViewLocation = glGetUniformLocation(bumpMappingProgram, "V");
    bumpLightPositionLocation = glGetUniformLocation(bumpMappingProgram, "LightPosition_worldspace");
    bumpDepthBiasMvpLocation = glGetUniformLocation(bumpMappingProgram, "DepthBiasMVP");
    bumpShadowMapLocation = glGetUniformLocation(bumpMappingProgram, "shadowMap");
    bumpLightInvDirectionLocation = glGetUniformLocation(bumpMappingProgram, "LightInvDirection_worldspace");
    bumpCameraPositionLocation = glGetUniformLocation(bumpMappingProgram, "Cameraposition_worldspace");
    bumpModelLocation = glGetUniformLocation(bumpMappingProgram, "M");
    bumpTextureSamplerLocation = glGetUniformLocation(bumpMappingProgram, "myTextureSampler");
    bumpSamplerLocation = glGetUniformLocation(bumpMappingProgram, "myBumpSampler");

    toonColorLocation = glGetUniformLocation(toonProgram, "toonColor");
    toonMvpLocation = glGetUniformLocation(toonProgram, "MVP");
    toonViewLocation = glGetUniformLocation(toonProgram, "V");
    toonModelLocation = glGetUniformLocation(toonProgram, "M");
    toonLightInvDirectionLocation = glGetUniformLocation(toonProgram, "LightInvDirection_worldspace");
}

void Renderer::replaceProgram(GLuint from, GLuint to)
{
    for (const RendererProgram& entry : rendererPrograms) {
        if (this->*entry.program == from) {
            this->*entry.program = to;
        }
    }
    lookUpUniforms();
}
