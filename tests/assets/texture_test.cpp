// Texture loader: orientation of the upload, conversion of PNG colour types to RGBA8, the decoder
// error line and the placeholder for undecodable files, and the size limit checked before decoding.
#include "assets/fixture_meshes.h"
#include "assets/texture.h"
#include "support/gl_context.h"
#include "support/process.h"

#include <gtest/gtest.h>
#include <lodepng.h>

#include <string>
#include <vector>

namespace {

struct TextureImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;  // bottom row first, as GL stores it
};

TextureImage readLevel(GLuint texture, int level)
{
    TextureImage image;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &image.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &image.height);
    image.rgba.assign(static_cast<size_t>(image.width) * image.height * 4, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, image.rgba.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return image;
}

std::vector<unsigned char> pixelAt(const TextureImage& image, int x, int y)
{
    const size_t at = (static_cast<size_t>(y) * image.width + x) * 4;
    return {image.rgba[at], image.rgba[at + 1], image.rgba[at + 2], image.rgba[at + 3]};
}

using Rgba = std::vector<unsigned char>;
const Rgba magenta = {255, 0, 255, 255};

GLuint loadCapturing(const std::string& path, std::string& printed)
{
    testing::internal::CaptureStdout();
    const GLuint texture = loadTexture(path);
    printed = testing::internal::GetCapturedStdout();
    return texture;
}

// Encodes raw pixels of the given colour type and bit depth.
bool encodePng(const std::string& path, const std::vector<unsigned char>& raw, unsigned w, unsigned h,
               LodePNGColorType type, unsigned bits)
{
    return lodepng::encode(path, raw, w, h, type, bits) == 0;
}

class TextureLoader : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(testGlWindow(), nullptr) << "no X display or GL context";
        dir = makeTempDir("lumarq-texture");
    }
    std::string dir;
};

}  // namespace

TEST_F(TextureLoader, UploadsBottomRowFirstWithMipmapsAndRepeat)
{
    const std::string path = dir + "/red_over_blue.png";
    ASSERT_TRUE(writePng(path, 1, 2, [](unsigned, unsigned y) {
        return y == 0 ? glm::u8vec4(255, 0, 0, 255) : glm::u8vec4(0, 0, 255, 255);
    }));
    std::string printed;
    const GLuint texture = loadCapturing(path, printed);
    EXPECT_EQ(printed, "");
    ASSERT_NE(texture, 0u);

    const TextureImage level0 = readLevel(texture, 0);
    ASSERT_EQ(level0.width, 1);
    ASSERT_EQ(level0.height, 2);
    EXPECT_EQ(pixelAt(level0, 0, 0), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(pixelAt(level0, 0, 1), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(readLevel(texture, 1).height, 1) << "mip chain missing";

    glBindTexture(GL_TEXTURE_2D, texture);
    GLint format = 0, minFilter = 0, magFilter = 0, wrapS = 0, wrapT = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(format, GL_RGBA8);
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(magFilter, GL_LINEAR);
    EXPECT_EQ(wrapS, GL_REPEAT);
    EXPECT_EQ(wrapT, GL_REPEAT);

    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0) << "the loader leaves nothing bound";

    const GLuint second = loadTexture(path);
    EXPECT_NE(second, texture) << "each call makes its own texture";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureLoader, PaletteGreyAndSixteenBitImagesArriveAsRgba8)
{
    // Palette: lodepng picks a palette itself for an image of two colours when asked for one.
    const std::string palettePath = dir + "/palette.png";
    {
        lodepng::State state;
        state.info_raw.colortype = LCT_RGBA;
        state.info_png.color.colortype = LCT_PALETTE;
        state.info_png.color.bitdepth = 8;
        state.encoder.auto_convert = 0;
        lodepng_palette_add(&state.info_png.color, 10, 200, 30, 255);
        lodepng_palette_add(&state.info_png.color, 250, 240, 5, 255);
        lodepng_palette_add(&state.info_raw, 10, 200, 30, 255);
        lodepng_palette_add(&state.info_raw, 250, 240, 5, 255);
        const std::vector<unsigned char> raw = {10, 200, 30, 255, 250, 240, 5, 255};
        std::vector<unsigned char> png;
        ASSERT_EQ(lodepng::encode(png, raw, 2, 1, state), 0u);
        LodePNGState check;
        lodepng_state_init(&check);
        unsigned w = 0, h = 0;
        ASSERT_EQ(lodepng_inspect(&w, &h, &check, png.data(), png.size()), 0u);
        ASSERT_EQ(check.info_png.color.colortype, LCT_PALETTE) << "fixture is not a palette image";
        lodepng_state_cleanup(&check);
        ASSERT_EQ(lodepng::save_file(png, palettePath), 0u);
    }
    const TextureImage palette = readLevel(loadTexture(palettePath), 0);
    ASSERT_EQ(palette.width, 2);
    EXPECT_EQ(pixelAt(palette, 0, 0), (Rgba{10, 200, 30, 255}));
    EXPECT_EQ(pixelAt(palette, 1, 0), (Rgba{250, 240, 5, 255}));

    const std::string greyPath = dir + "/grey.png";
    ASSERT_TRUE(encodePng(greyPath, {77, 200}, 1, 2, LCT_GREY, 8));
    const TextureImage grey = readLevel(loadTexture(greyPath), 0);
    EXPECT_EQ(pixelAt(grey, 0, 0), (Rgba{200, 200, 200, 255}));
    EXPECT_EQ(pixelAt(grey, 0, 1), (Rgba{77, 77, 77, 255}));

    // 16-bit RGB, big-endian samples: the high byte survives.
    const std::string deepPath = dir + "/deep.png";
    ASSERT_TRUE(encodePng(deepPath, {0xAB, 0xCD, 0x12, 0x34, 0xFF, 0x00}, 1, 1, LCT_RGB, 16));
    const TextureImage deep = readLevel(loadTexture(deepPath), 0);
    EXPECT_EQ(pixelAt(deep, 0, 0), (Rgba{0xAB, 0x12, 0xFF, 255}));
}

TEST_F(TextureLoader, MissingEmptyOrBrokenFileGivesErrorLineAndMagentaPlaceholder)
{
    const std::string garbagePath = dir + "/garbage.png";
    writeFile(garbagePath, "this is not a png file at all");
    for (const std::string& path : {dir + "/missing.png", std::string(), garbagePath}) {
        SCOPED_TRACE(path);
        std::string printed;
        const GLuint texture = loadCapturing(path, printed);
        if (path == garbagePath) {
            EXPECT_EQ(printed.rfind("decoder error ", 0), 0u) << printed;
            EXPECT_EQ(printed.find("decoder error 48"), std::string::npos);
        } else {
            EXPECT_EQ(printed, "decoder error 48: empty input or file doesn't exist\n");
        }
        ASSERT_NE(texture, 0u);
        const TextureImage image = readLevel(texture, 0);
        ASSERT_EQ(image.width, 1);
        ASSERT_EQ(image.height, 1);
        EXPECT_EQ(pixelAt(image, 0, 0), magenta);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

TEST_F(TextureLoader, RefusesHeadersOverTheSizeLimitBeforeDecoding)
{
    // A real 1x1 PNG whose header is rewritten to claim a larger size (CRC fixed up), so only the
    // header can be trusted: decoding it would fail, or allocate for the claimed size.
    auto forgedPng = [](unsigned width, unsigned height) {
        std::vector<unsigned char> png;
        lodepng::encode(png, std::vector<unsigned char>{1, 2, 3, 255}, 1, 1);
        unsigned char* ihdr = png.data() + 8;
        for (int k = 0; k < 4; ++k) {
            ihdr[8 + k] = static_cast<unsigned char>(width >> (24 - 8 * k));
            ihdr[12 + k] = static_cast<unsigned char>(height >> (24 - 8 * k));
        }
        lodepng_chunk_generate_crc(ihdr);
        return png;
    };
    const std::string hugePath = dir + "/huge.png";
    ASSERT_EQ(lodepng::save_file(forgedPng(9000, 9000), hugePath), 0u);
    std::string printed;
    GLuint texture = loadCapturing(hugePath, printed);
    EXPECT_EQ(printed, "decoder error 92: image of 9000 x 9000 pixels exceeds 8192 x 8192, not decoded\n");
    EXPECT_EQ(pixelAt(readLevel(texture, 0), 0, 0), magenta);

    const std::string widePath = dir + "/wide.png";
    ASSERT_EQ(lodepng::save_file(forgedPng(8193, 1), widePath), 0u);
    loadCapturing(widePath, printed);
    EXPECT_NE(printed.find("8193 x 1 pixels exceeds"), std::string::npos) << printed;

    // The limit itself is allowed.
    const std::string edgePath = dir + "/edge.png";
    ASSERT_TRUE(writePng(edgePath, 8192, 1, [](unsigned x, unsigned) { return glm::u8vec4(x & 255, 0, 0, 255); }));
    texture = loadCapturing(edgePath, printed);
    EXPECT_EQ(printed, "");
    EXPECT_EQ(readLevel(texture, 0).width, 8192);
}
