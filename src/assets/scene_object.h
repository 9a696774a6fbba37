// One placed model instance: its GL buffers and textures, attribute locations, program, model
// matrix with the running translation, toon colours and bump switch. A plain value: copies share
// the GL names, and nothing is released when a copy goes away.
#pragma once
#include <glad/gl.h>
#include <glm/glm.hpp>

struct aiScene;
struct aiMesh;
struct TextureLoadTimes;

// The contour's quads, where it is drawn as quads (render/outline_quads.h): a vertex array of
// their own over their vertex and index buffers.
struct OutlineQuads {
    GLuint vertexArray = 0;
    GLuint vertexBuffer = 0;
    GLuint indexBuffer = 0;
    GLsizei indexCount = 0;
};

struct SceneObject {
    GLuint vertexArray = 0;
    const aiMesh* mesh = nullptr;  // owned by the importer that read the scene
    GLuint indexBuffer = 0;
    GLuint positionBuffer = 0;
    GLuint normalBuffer = 0;
    GLuint uvBuffer = 0;
    GLuint tangentBuffer = 0;
    GLuint bitangentBuffer = 0;
    OutlineQuads outlineQuads;
    GLuint diffuseTexture = 0;
    GLuint bumpTexture = 0;
    GLuint program = 0;
    glm::mat4 model = glm::mat4(1.0f);
    glm::vec3 position = glm::vec3(0.0f);   // sum of every translate delta, in the object's own frame
    glm::mat3 toonColor = glm::mat3(1.0f);  // three RGB colours, one per column
    bool useBumpMap = false;
    GLuint positionAttrib = 0;
    GLuint normalAttrib = 0;
    GLuint uvAttrib = 0;
    GLuint tangentAttrib = 3;
    GLuint bitangentAttrib = 4;

    SceneObject() = default;
    // Uploads the first mesh of an imported scene (model loader); its texture loads add their
    // times to `textureTimes` when one is given.
    SceneObject(const aiScene* scene, GLuint positionAttrib, GLuint normalAttrib, GLuint uvAttrib, bool useBumpMap,
                TextureLoadTimes* textureTimes = nullptr);

    // Each transform post-multiplies the model matrix, so it acts in the object's own frame.
    void translate(float dx, float dy, float dz);
    void rotate(float angleDegrees, int axisY, int axisZ);  // about (0, axisY, axisZ)
    void scale(float sx, float sy, float sz);
};
