// Texture pixels on the web: the page (web/files.js) streams the PNG files in after start-up and
// decodes them off the main thread, exactly (no colour conversion, no premultiplied alpha) and
// bottom row first; each is uploaded into its texture, with its mipmaps, when it arrives. Until
// then the texture holds the placeholder pixel, which no frame shows: the page holds the frames of
// a textured style until its textures are in (tools/web/texture_wait.h).
#include "assets/texture_pixels.h"

#include <emscripten/emscripten.h>

namespace {

// The upload runs between two frames, when the page has the image; it leaves the active unit's
// binding as it found it.
// clang-format off
EM_JS(void, streamTexture, (const char* path, GLuint texture), {
    Module.lumarqTextures.want(UTF8ToString(path), texture, function(image) {
        var gl = GLctx;
        var bound = gl.getParameter(gl.TEXTURE_BINDING_2D);
        gl.bindTexture(gl.TEXTURE_2D, GL.textures[texture]);
        gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA8, gl.RGBA, gl.UNSIGNED_BYTE, image);
        gl.generateMipmap(gl.TEXTURE_2D);
        gl.bindTexture(gl.TEXTURE_2D, bound);
    });
});
// clang-format on

}  // namespace

void fillTexturePixels(GLuint texture, const std::string& path)
{
    fillPlaceholderPixel();
    streamTexture(path.c_str(), texture);
}
