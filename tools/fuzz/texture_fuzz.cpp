// libFuzzer target for the texture loader: the input is the whole PNG file. Beyond the
// sanitizers, every call must leave a GL texture with no error pending and nothing bound.
#include "fuzz_gl_context.h"

#include "assets/texture.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    openFuzzGlContext();
    static const std::string path = fuzzScratchDir() + "/input.png";
    writeFuzzFile(path, data, size);

    while (glGetError() != GL_NO_ERROR) {
    }
    const GLuint texture = loadTexture(path);
    const GLenum error = glGetError();
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    GLint width = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDeleteTextures(1, &texture);

    if (texture == 0 || error != GL_NO_ERROR || bound != 0 || width <= 0) {
        fprintf(stderr, "texture loader: name %u, GL error 0x%x, binding %d, width %d\n", texture, error, bound,
                width);
        abort();
    }
    return 0;
}
