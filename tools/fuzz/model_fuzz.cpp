// libFuzzer target for the model path: OBJ text, optionally followed by a line "#mtl" and the
// text of its material library, read through the demo's model reading with its import flags, turned into a
// SceneObject on both the plain and the bump-mapped path. Beyond the sanitizers, construction
// must leave no GL error, and every vertex buffer must hold the vertices that the passes draw.
#include "fuzz_gl_context.h"

#include "assets/model_file.h"
#include "assets/scene_object.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <lodepng.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

constexpr unsigned importFlags = aiProcess_Triangulate | aiProcess_GenSmoothNormals | aiProcess_FlipUVs;
const char mtlMarker[] = "\n#mtl\n";

// The working directory holds the OBJ, its library "fuzz.mtl" and a small texture "t.png" that
// the seeds' materials name, so texture paths resolve as they do in the run folder.
void prepareScratch()
{
    static bool done = false;
    if (done) {
        return;
    }
    done = true;
    if (chdir(fuzzScratchDir().c_str()) != 0) {
        perror("fuzz: chdir");
        abort();
    }
    const unsigned char pixels[2 * 2 * 4] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    std::vector<unsigned char> png;
    if (lodepng::encode(png, pixels, 2, 2) != 0) {
        abort();
    }
    writeFuzzFile("t.png", png.data(), png.size());
}

bool bufferHolds(GLuint buffer, GLint64 bytes)
{
    if (buffer == 0) {
        return true;  // absent: the attribute stays disabled and reads a constant
    }
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    GLint64 size = 0;
    glGetBufferParameteri64v(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    return size >= bytes;
}

void checkAndRelease(SceneObject& object, const char* path)
{
    const GLenum error = glGetError();
    const GLint64 vertices = object.mesh != nullptr ? object.mesh->mNumVertices : 0;
    const bool sized =
        bufferHolds(object.positionBuffer, vertices * 12) && bufferHolds(object.normalBuffer, vertices * 12) &&
        bufferHolds(object.uvBuffer, vertices * 8) && bufferHolds(object.tangentBuffer, vertices * 12) &&
        bufferHolds(object.bitangentBuffer, vertices * 12);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
    const GLuint buffers[] = {object.indexBuffer, object.positionBuffer, object.normalBuffer,
                              object.uvBuffer,    object.tangentBuffer,  object.bitangentBuffer};
    glDeleteBuffers(6, buffers);
    const GLuint textures[] = {object.diffuseTexture, object.bumpTexture};
    glDeleteTextures(2, textures);
    glDeleteVertexArrays(1, &object.vertexArray);
    if (error != GL_NO_ERROR || !sized) {
        fprintf(stderr, "model loader (%s path): GL error 0x%x, buffers sized %d\n", path, error, sized ? 1 : 0);
        abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    openFuzzGlContext();
    prepareScratch();
    const char* text = reinterpret_cast<const char*>(data);
    const char* marker = static_cast<const char*>(memmem(text, size, mtlMarker, sizeof mtlMarker - 1));
    const size_t objSize = marker != nullptr ? static_cast<size_t>(marker - text) : size;
    writeFuzzFile("fuzz.obj", data, objSize);
    if (marker != nullptr) {
        const size_t mtlStart = objSize + sizeof mtlMarker - 1;
        writeFuzzFile("fuzz.mtl", data + mtlStart, size - mtlStart);
    } else {
        unlink("fuzz.mtl");
    }

    while (glGetError() != GL_NO_ERROR) {
    }
    Assimp::Importer importer;
    std::string failure;
    const aiScene* scene = readModelFile(importer, "fuzz.obj", importFlags, failure);
    if (scene == nullptr) {
        return 0;
    }
    SceneObject plain(scene, 0, 1, 2, false);
    checkAndRelease(plain, "plain");
    SceneObject bump(scene, 0, 1, 2, true);
    checkAndRelease(bump, "bump");
    return 0;
}
