// Texture pixels on the web: the page (web/files.js) streams the PNG files in after start-up and
// decodes them off the main thread to 8-bit RGBA, exactly (no colour conversion, no premultiplied
// alpha) and bottom row first; each is uploaded into its texture, with its mipmaps, when it arrives. Until
// then the texture holds the placeholder pixel, which no frame shows: the page holds the frames of
// a textured style until its textures are in (tools/web/texture_wait.h).
#include "assets/texture_pixels.h"

#include <emscripten/emscripten.h>

namespace {

// The page hands the pixels over a strip of rows at a time, between frames, so that no frame waits
// long for an upload: the first strip makes the texture's storage, the last its mipmaps. Each call
// leaves the active unit's binding as it found it.
// clang-format off
EM_JS(void, streamTexture, (const char* path, GLuint texture), {
    Module.lumarqTextures.want(UTF8ToString(path), texture, function(image, row, rows) {
        var gl = GLctx;
        var bound = gl.getParameter(gl.TEXTURE_BINDING_2D);
        gl.bindTexture(gl.TEXTURE_2D, GL.textures[texture]);
        if (row === 0) {
            gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA8, image.width, image.height, 0, gl.RGBA, gl.UNSIGNED_BYTE, null);
        }
        gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, row, image.width, rows, gl.RGBA, gl.UNSIGNED_BYTE,
                         image.pixels.subarray(4 * image.width * row, 4 * image.width * (row + rows)));
        if (row + rows === image.height) {
            gl.generateMipmap(gl.TEXTURE_2D);
        }
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
