// The render state of the demo: the five programs and their uniform locations, the shadow-map
// target, this frame's camera and light matrices, the light, and the shadow and camera switches.
// Its operations are the three passes of a frame: shadow depth, outline, shaded.
#pragma once
#include "assets/scene_object.h"

#include <glad/gl.h>
#include <glm/glm.hpp>

#include <string>

struct GLFWwindow;

constexpr int shadowMapSize = 1024;

struct Renderer;

// One of the five programs: the stem of its two shader files ("Toon" for "Toon.vertexshader" and
// "Toon.fragmentshader") and the field that holds it.
struct RendererProgram {
    const char* name;
    GLuint Renderer::*program;
};
constexpr int rendererProgramCount = 5;
extern const RendererProgram rendererPrograms[rendererProgramCount];  // in load order

// The two files under shader/ that a program is built from.
struct ProgramFiles {
    std::string vertex;
    std::string fragment;
};

struct Renderer {
    GLint wireframeMvpLocation = -1;
    GLint wireframeViewportSizeLocation = -1;  // the contour's quads only
    GLint wireframeStrokeWidthLocation = -1;
    GLint depthMvpLocation = -1;
    GLint shadowMvpLocation = -1;
    GLint shadowViewLocation = -1;
    GLint shadowLightPositionLocation = -1;
    GLint shadowDepthBiasMvpLocation = -1;
    GLint shadowMapLocation = -1;
    GLint shadowLightInvDirectionLocation = -1;
    GLint shadowTextureSamplerLocation = -1;
    GLint shadowModelLocation = -1;
    GLint bumpMvpLocation = -1;
    GLint bumpViewLocation = -1;
    GLint bumpLightPositionLocation = -1;
    GLint bumpDepthBiasMvpLocation = -1;
    GLint bumpShadowMapLocation = -1;
    GLint bumpLightInvDirectionLocation = -1;
    GLint bumpCameraPositionLocation = -1;
    GLint bumpModelLocation = -1;
    GLint bumpTextureSamplerLocation = -1;
    GLint bumpSamplerLocation = -1;
    GLint toonColorLocation = -1;
    GLint toonMvpLocation = -1;
    GLint toonViewLocation = -1;
    GLint toonModelLocation = -1;
    GLint toonLightInvDirectionLocation = -1;
    GLuint shadowMappingProgram = 0;
    GLuint depthRttProgram = 0;
    GLuint toonProgram = 0;
    GLuint wireframeProgram = 0;
    GLuint bumpMappingProgram = 0;
    GLuint shadowFramebuffer = 0;
    GLuint shadowDepthTexture = 0;
    GLFWwindow* window = nullptr;  // not owned
    glm::mat4 cameraView = glm::mat4(1.0f);
    glm::mat4 cameraProjection = glm::mat4(1.0f);
    glm::vec3 lightPosition = glm::vec3(6.0f, 4.0f, 4.0f);  // lightStart (render/light_rig.h)
    glm::vec3 lightInvDirection = glm::vec3(0.0f);          // the light's eye point for the shadow map
    glm::mat4 depthMvp = glm::mat4(1.0f);
    glm::mat4 lightView = glm::mat4(1.0f);
    glm::mat4 lightProjection = glm::mat4(1.0f);
    int viewportWidth = 0;  // the window's framebuffer, which the outline and shaded passes fill
    int viewportHeight = 0;
    int attributeCounter = -1;
    double drawVertexCount = 0.0;  // vertex count of the draw in progress; 0 between draws
    bool shadowsEnabled = false;
    bool autoCamera = true;  // true: the camera follows the timeline; false: free flight
    // The contour drawn as quads rather than wide lines (render/outline_strokes.h), and its width.
    bool outlineQuads = false;
    float outlineStrokeWidth = 0.0f;

    Renderer() = default;
    // Loads the programs, looks up the uniforms and builds the shadow-map target; needs the
    // window's context current and the GL entry points resolved. The viewport starts as the
    // window's framebuffer; a program whose window changes size sets it anew. `forceOutlineQuads`
    // draws the contour as quads even where wide lines can be drawn.
    explicit Renderer(GLFWwindow* window, bool forceOutlineQuads = false);

    // Puts a rebuilt program in the place of `from` and looks the uniforms up again; the caller
    // deletes `from`.
    void replaceProgram(GLuint from, GLuint to);

    void beginShadowPass();
    void drawDepth(SceneObject object);
    void beginOutlinePass();
    void drawOutline(SceneObject object);
    void drawShaded(SceneObject object);
};

// The program's stem's two files; the Wireframe program's vertex stage is the quads' when the
// contour is drawn as quads.
ProgramFiles programFiles(const RendererProgram& program, bool outlineQuads);

// The viewport's width over its height: the aspect of the camera's projection.
float viewportAspect(const Renderer& renderer);
