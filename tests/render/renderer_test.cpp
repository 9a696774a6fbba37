// The renderer on a small stage built in the test (ground, sphere, box, loaded through the real
// model loader and drawn with the real shaders): set-up state, contours, toon bands, shadows,
// the cleared shadow map, normal-map relief and a clean GL error state on 4.5 and 3.3 contexts.
// With LUMARQ_SNAPSHOT_DIR set, the three styles are also written there as PNGs.
#include "assets/fixture_meshes.h"
#include "assets/scene_object.h"
#include "camera/camera.h"
#include "render/outline_quads.h"
#include "render/outline_strokes.h"
#include "render/renderer.h"
#include "render/shaded_pass.h"
#include "support/gl_context.h"
#include "support/process.h"

#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

// The window and the passes' viewport share this size.
constexpr int viewWidth = 640;
constexpr int viewHeight = 360;

using Rgb = glm::ivec3;

struct Frame {
    std::vector<unsigned char> rgba;  // bottom row first
    Rgb at(int x, int y) const
    {
        const size_t k = (static_cast<size_t>(y) * viewWidth + x) * 4;
        return Rgb(rgba[k], rgba[k + 1], rgba[k + 2]);
    }
};

bool near(Rgb a, Rgb b, int tolerance = 1)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

Rgb toRgb(glm::vec3 c)
{
    return Rgb(glm::round(c * 255.0f));
}

const Rgb white(255, 255, 255);
bool isContour(Rgb c)
{
    return c.r < 40 && c.g < 40 && c.b < 40;
}
float luminance(Rgb c)
{
    return 0.299f * c.r + 0.587f * c.g + 0.114f * c.b;
}

// Toon colours chosen apart from each other, from white and from the contour.
const glm::mat3 sphereToon(glm::vec3(0.9f, 0.5f, 0.1f), glm::vec3(0.6f, 0.3f, 0.05f),
                           glm::vec3(0.35f, 0.15f, 0.3f));

// Everything the tests draw, loaded once per process.
struct Stage {
    Renderer renderer;
    std::string dir;
    std::unique_ptr<Assimp::Importer> importers[6];
    SceneObject ground;      // bump-mapped, 10 x 10 at y = 0
    SceneObject flatGround;  // the same ground with a flat normal map
    SceneObject sphere;      // bump-mapped, radius 0.8
    SceneObject ball;        // a second sphere, never outlined
    SceneObject box;         // 1 x 1 x 1
    SceneObject plate;       // 1 x 0.01 x 1
    SceneObject empty;       // from a scene without meshes
    aiScene emptyScene;
};

SceneObject loadModel(Stage& stage, int slot, const std::string& name, const FixtureMesh& mesh,
                      const std::string& colour, const std::string& normalMap, bool bump)
{
    writeFile(stage.dir + "/" + name + ".mtl", mtlText(colour, normalMap));
    writeFile(stage.dir + "/" + name + ".obj", objText(mesh, name + ".mtl"));
    stage.importers[slot] = std::make_unique<Assimp::Importer>();
    const aiScene* scene = stage.importers[slot]->ReadFile(stage.dir + "/" + name + ".obj", fixtureImportFlags);
    EXPECT_NE(scene, nullptr) << stage.importers[slot]->GetErrorString();
    return SceneObject(scene, 0, 1, 2, bump);
}

Stage* buildStage()
{
    auto* stage = new Stage();
    stage->renderer = Renderer(testGlWindow(viewWidth, viewHeight));
    const std::string dir = stage->dir = makeTempDir("lumarq-render");

    // Ground: two light stone greys in 1.25-unit squares; the sphere orange; the box blue.
    writePng(dir + "/ground.png", 64, 64, [](unsigned x, unsigned y) {
        return ((x / 32) + (y / 32)) % 2 ? glm::u8vec4(200, 196, 186, 255) : glm::u8vec4(170, 176, 182, 255);
    });
    writePng(dir + "/sphere.png", 64, 32,
             [](unsigned x, unsigned) { return glm::u8vec4(230, 140, 60 + (x % 16), 255); });
    writePng(dir + "/box.png", 16, 16, [](unsigned x, unsigned y) {
        return (x == 0 || y == 0 || x == 15 || y == 15) ? glm::u8vec4(40, 70, 140, 255)
                                                        : glm::u8vec4(80, 130, 220, 255);
    });
    writeBumpNormalMap(dir + "/bumps.png", 128, 2);
    writePng(dir + "/flat.png", 4, 4, [](unsigned, unsigned) { return glm::u8vec4(128, 128, 255, 255); });

    testing::internal::CaptureStdout();
    stage->ground =
        loadModel(*stage, 0, "ground", planeMesh(5.0f, 4.0f), dir + "/ground.png", dir + "/bumps.png", true);
    stage->flatGround =
        loadModel(*stage, 1, "flatground", planeMesh(5.0f, 4.0f), dir + "/ground.png", dir + "/flat.png", true);
    stage->sphere =
        loadModel(*stage, 2, "sphere", sphereMesh(0.8f, 24, 48), dir + "/sphere.png", dir + "/bumps.png", true);
    stage->ball = loadModel(*stage, 3, "ball", sphereMesh(0.8f, 24, 48), dir + "/sphere.png", "", false);
    stage->box = loadModel(*stage, 4, "box", boxMesh({0.5f, 0.5f, 0.5f}), dir + "/box.png", "", false);
    stage->plate = loadModel(*stage, 5, "plate", boxMesh({0.5f, 0.005f, 0.5f}), dir + "/box.png", "", false);
    stage->empty = SceneObject(&stage->emptyScene, 0, 1, 2, true);
    testing::internal::GetCapturedStdout();
    return stage;
}

Stage& stage()
{
    static Stage* built = buildStage();
    return *built;
}

enum class Style { Toon, Shadow, Bump };

// Programs, bump flags and the shadow switch as the show's three styles set them; objects with
// `bump` get the BumpMapping program in the bump style.
void applyStyle(Renderer& renderer, Style style, const std::vector<SceneObject*>& objects,
                const std::vector<SceneObject*>& bumped)
{
    for (SceneObject* object : objects) {
        object->useBumpMap = false;
        object->program = style == Style::Toon ? renderer.toonProgram : renderer.shadowMappingProgram;
    }
    if (style == Style::Bump) {
        for (SceneObject* object : bumped) {
            object->useBumpMap = true;
            object->program = renderer.bumpMappingProgram;
        }
    }
    renderer.shadowsEnabled = style != Style::Toon;
}

// One frame as the scene's render step draws it, read back from the window.
Frame renderFrame(Renderer& renderer, const std::vector<SceneObject*>& objects,
                  const std::vector<SceneObject*>& outlined)
{
    renderer.beginShadowPass();
    if (renderer.shadowsEnabled) {
        for (SceneObject* object : objects) {
            renderer.drawDepth(*object);
        }
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    renderer.beginOutlinePass();
    for (SceneObject* object : outlined) {
        renderer.drawOutline(*object);
    }
    setUpShadedPass(renderer);
    for (SceneObject* object : objects) {
        renderer.drawShaded(*object);
    }
    Frame frame;
    frame.rgba.resize(static_cast<size_t>(viewWidth) * viewHeight * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, viewWidth, viewHeight, GL_RGBA, GL_UNSIGNED_BYTE, frame.rgba.data());
    return frame;
}

// The camera a little above the stage, looking down toward the origin.
void placeCamera(Renderer& renderer)
{
    cameraPosition = glm::vec3(0.0f, 2.6f, 6.0f);
    cameraYaw = 3.14159265f;
    cameraPitch = -0.33f;
    renderer.autoCamera = true;
    renderer.lightPosition = glm::vec3(6.0f, 4.0f, 4.0f);
}

// Window pixel of a world point under this frame's camera.
glm::ivec2 pixelOf(const Renderer& renderer, glm::vec3 world)
{
    const glm::vec4 clip = renderer.cameraProjection * renderer.cameraView * glm::vec4(world, 1.0f);
    const glm::vec2 ndc = glm::vec2(clip) / clip.w;
    return glm::ivec2(static_cast<int>((ndc.x * 0.5f + 0.5f) * viewWidth),
                      static_cast<int>((ndc.y * 0.5f + 0.5f) * viewHeight));
}

float meanLuminance(const Frame& frame, glm::ivec2 centre, int radius)
{
    float sum = 0.0f;
    int count = 0;
    for (int y = centre.y - radius; y <= centre.y + radius; ++y) {
        for (int x = centre.x - radius; x <= centre.x + radius; ++x) {
            sum += luminance(frame.at(x, y));
            ++count;
        }
    }
    return sum / static_cast<float>(count);
}

void writeSnapshot(const Frame& frame, const std::string& name)
{
    const char* dir = std::getenv("LUMARQ_SNAPSHOT_DIR");
    if (dir == nullptr) {
        return;
    }
    std::vector<unsigned char> topDown(frame.rgba.size());
    const size_t row = static_cast<size_t>(viewWidth) * 4;
    for (int y = 0; y < viewHeight; ++y) {
        std::memcpy(&topDown[static_cast<size_t>(viewHeight - 1 - y) * row], &frame.rgba[y * row], row);
    }
    for (size_t k = 3; k < topDown.size(); k += 4) {
        topDown[k] = 255;  // the shaders write colour only
    }
    lodepng::encode(std::string(dir) + "/" + name + ".png", topDown, viewWidth, viewHeight);
}

class RenderFrames : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(testGlWindow(viewWidth, viewHeight), nullptr) << "no X display or GL context";
        s = &stage();
        placeCamera(s->renderer);
        s->sphere.model = glm::mat4(1.0f);
        s->ball.model = glm::mat4(1.0f);
        s->box.model = glm::mat4(1.0f);
        s->plate.model = glm::mat4(1.0f);
    }
    Stage* s = nullptr;
};

}  // namespace

TEST_F(RenderFrames, SetUpLeavesShadowProgramCurrentAndTheDepthTarget)
{
    // A fresh renderer, to see the state its constructor leaves.
    testing::internal::CaptureStdout();
    Renderer renderer(testGlWindow(viewWidth, viewHeight));
    testing::internal::GetCapturedStdout();

    GLint current = 0, texture = -1, framebuffer = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    EXPECT_EQ(static_cast<GLuint>(current), renderer.shadowMappingProgram);
    EXPECT_EQ(texture, 0);
    EXPECT_EQ(framebuffer, 0);
    EXPECT_EQ(renderer.lightPosition, glm::vec3(6, 4, 4));
    EXPECT_EQ(renderer.attributeCounter, -1);
    EXPECT_TRUE(renderer.autoCamera);
    EXPECT_FALSE(renderer.shadowsEnabled);

    for (GLuint program : {renderer.shadowMappingProgram, renderer.toonProgram, renderer.wireframeProgram,
                           renderer.bumpMappingProgram, renderer.depthRttProgram}) {
        GLint linked = 0;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        EXPECT_EQ(linked, GL_TRUE) << "program " << program;
    }
    // Every uniform the shaders use resolves; the Toon and BumpMapping shaders do not read "V".
    for (GLint location : {renderer.wireframeMvpLocation,
                           renderer.depthMvpLocation,
                           renderer.shadowMvpLocation,
                           renderer.shadowViewLocation,
                           renderer.shadowLightPositionLocation,
                           renderer.shadowDepthBiasMvpLocation,
                           renderer.shadowMapLocation,
                           renderer.shadowLightInvDirectionLocation,
                           renderer.shadowTextureSamplerLocation,
                           renderer.shadowModelLocation,
                           renderer.bumpMvpLocation,
                           renderer.bumpLightPositionLocation,
                           renderer.bumpDepthBiasMvpLocation,
                           renderer.bumpShadowMapLocation,
                           renderer.bumpLightInvDirectionLocation,
                           renderer.bumpCameraPositionLocation,
                           renderer.bumpModelLocation,
                           renderer.bumpTextureSamplerLocation,
                           renderer.bumpSamplerLocation,
                           renderer.toonColorLocation,
                           renderer.toonMvpLocation,
                           renderer.toonModelLocation,
                           renderer.toonLightInvDirectionLocation}) {
        EXPECT_NE(location, -1);
    }

    glBindTexture(GL_TEXTURE_2D, renderer.shadowDepthTexture);
    GLint width = 0, format = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(width, 1024);
    EXPECT_EQ(format, GL_DEPTH_COMPONENT16);
    glBindFramebuffer(GL_FRAMEBUFFER, renderer.shadowFramebuffer);
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    for (GLuint program : {renderer.shadowMappingProgram, renderer.depthRttProgram, renderer.toonProgram,
                           renderer.wireframeProgram, renderer.bumpMappingProgram}) {
        glDeleteProgram(program);
    }
    glDeleteTextures(1, &renderer.shadowDepthTexture);
    glDeleteFramebuffers(1, &renderer.shadowFramebuffer);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RenderFrames, ContoursSurroundOnlyOutlinedObjectsAndToonBandsAreExact)
{
    Renderer& r = s->renderer;
    s->sphere.translate(-1.5f, 1.0f, 0.0f);
    s->ball.translate(1.5f, 1.0f, 0.0f);
    s->sphere.toonColor = sphereToon;
    s->ball.toonColor = sphereToon;
    std::vector<SceneObject*> objects = {&s->sphere, &s->ball};
    applyStyle(r, Style::Toon, objects, {});
    const Frame frame = renderFrame(r, objects, {&s->sphere});

    const glm::ivec2 left = pixelOf(r, {-1.5f, 1.0f, 0.0f});
    const glm::ivec2 right = pixelOf(r, {1.5f, 1.0f, 0.0f});
    const int halfway = (left.x + right.x) / 2;

    const std::vector<Rgb> bands = {toRgb(sphereToon[0]), toRgb(sphereToon[1]), toRgb(sphereToon[2])};
    int contourLeft = 0, contourRight = 0, other = 0;
    int bandCounts[3] = {0, 0, 0};
    for (int y = 0; y < viewHeight; ++y) {
        for (int x = 0; x < viewWidth; ++x) {
            const Rgb c = frame.at(x, y);
            if (near(c, white, 0)) {
                continue;
            }
            if (isContour(c)) {
                ++(x < halfway ? contourLeft : contourRight);
                continue;
            }
            bool banded = false;
            for (int k = 0; k < 3; ++k) {
                if (near(c, bands[k])) {
                    ++bandCounts[k];
                    banded = true;
                }
            }
            other += banded ? 0 : 1;
        }
    }
    EXPECT_EQ(frame.at(0, 0), white) << "nothing drawn there";
    EXPECT_EQ(frame.at(halfway, viewHeight / 2), white);
    EXPECT_EQ(other, 0) << "pixels that are neither white, contour nor one of the three bands";
    EXPECT_EQ(contourRight, 0) << "the ball is drawn without outline";
    EXPECT_GT(contourLeft, 500) << "the outlined sphere has a contour all round";
    for (int k = 0; k < 3; ++k) {
        EXPECT_GT(bandCounts[k], 300) << "band " << k;
    }

    // The contour is several pixels thick: glLineWidth(5) is honoured by the core context.
    int run = 0;
    for (int x = left.x - 150; x < left.x; ++x) {
        const Rgb c = frame.at(x, left.y);
        if (isContour(c)) {
            ++run;
        } else if (run > 0) {
            break;
        }
    }
    EXPECT_GE(run, 2) << "contour width at the sphere's left edge";
    // The lit band faces the light (+x, +y, +z): the sphere's upper right is brightest.
    EXPECT_TRUE(near(frame.at(right.x + 20, right.y + 20), bands[0]));
    EXPECT_TRUE(near(frame.at(right.x - 33, right.y), bands[2]));
    writeSnapshot(frame, "contours_toon");
}

// The contour's stroke pixels, bottom row first.
std::vector<bool> contourMask(const Frame& frame)
{
    std::vector<bool> mask(static_cast<size_t>(viewWidth) * viewHeight);
    for (int y = 0; y < viewHeight; ++y) {
        for (int x = 0; x < viewWidth; ++x) {
            mask[static_cast<size_t>(y) * viewWidth + x] = isContour(frame.at(x, y));
        }
    }
    return mask;
}

TEST_F(RenderFrames, QuadContoursDrawWhatWideLinesDraw)
{
    // Each edge is one quad, drawn once, with both of its triangles: a closed box has 18 edges
    // (12 sides, 6 diagonals), each shared; an open square has one shared diagonal and 4 rims.
    const auto edges = [](const SceneObject& object) {
        const OutlineQuadMesh mesh = buildOutlineQuadMesh(object.mesh->mVertices, object.mesh->mNumVertices);
        int shared = 0;
        for (size_t v = 0; v < mesh.vertices.size(); v += 4 * outlineQuadFloats) {
            shared += mesh.vertices[v + 12] == 1.0f ? 1 : 0;  // the second triangle's w
        }
        EXPECT_EQ(mesh.indices.size() * outlineQuadFloats * 4, mesh.vertices.size() * 6);
        return std::make_pair(static_cast<int>(mesh.indices.size() / 6), shared);
    };
    EXPECT_EQ(edges(s->box), std::make_pair(18, 18));
    EXPECT_EQ(edges(s->flatGround), std::make_pair(5, 1));

    testing::internal::CaptureStdout();
    Renderer quads(testGlWindow(viewWidth, viewHeight), true);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("Contours: drawn as quads, as asked\n"), std::string::npos) << printed;
    ASSERT_TRUE(quads.outlineQuads);
    SceneObject sphere = s->sphere;
    SceneObject box = s->box;
    prepareOutlineStrokes(quads, sphere);
    prepareOutlineStrokes(quads, box);
    placeCamera(quads);
    // The same view, light and objects, once with each renderer: the same strokes, as thick, on
    // nearly the same pixels.
    const auto expectTheLinesContour = [&](const std::string& view) {
        SCOPED_TRACE(view);
        sphere.model = s->sphere.model;
        box.model = s->box.model;
        std::vector<SceneObject*> objects = {&s->sphere, &s->box};
        applyStyle(s->renderer, Style::Toon, objects, {});
        const Frame lines = renderFrame(s->renderer, objects, objects);
        std::vector<SceneObject*> quadObjects = {&sphere, &box};
        applyStyle(quads, Style::Toon, quadObjects, {});
        const Frame quadFrame = renderFrame(quads, quadObjects, quadObjects);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        EXPECT_EQ(renderFrame(quads, quadObjects, quadObjects).rgba, quadFrame.rgba)
            << "the next frame draws the same";
        writeSnapshot(lines, view + "_lines");
        writeSnapshot(quadFrame, view + "_quads");

        const std::vector<bool> lineMask = contourMask(lines);
        const std::vector<bool> quadMask = contourMask(quadFrame);
        int lineCount = 0, quadCount = 0, differing = 0;
        for (size_t k = 0; k < lineMask.size(); ++k) {
            lineCount += lineMask[k] ? 1 : 0;
            quadCount += quadMask[k] ? 1 : 0;
            differing += lineMask[k] != quadMask[k] ? 1 : 0;
        }
        EXPECT_GT(lineCount, 800);
        EXPECT_NEAR(quadCount, lineCount, lineCount / 20) << "the quads' contour is as thick as the lines'";
        EXPECT_LT(differing, lineCount / 10) << "contour pixels drawn by one way and not the other";
    };
    s->sphere.translate(-1.2f, 0.8f, 0.0f);
    s->box.translate(1.5f, 0.5f, 0.0f);
    s->box.rotate(30.0f, 1, 0);
    expectTheLinesContour("contours");

    // Close up, as in the dive under the island: the eye just over a long slab whose edges run on
    // behind it, through the near plane. Each way must clip them there; an end projected from
    // behind the eye would throw its stroke across the picture.
    s->box.model =
        glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.5f, -4.0f)), glm::vec3(3.0f, 1.0f, 40.0f));
    s->sphere.model = glm::translate(glm::mat4(1.0f), glm::vec3(0.6f, 1.8f, -6.0f));
    cameraPosition = glm::vec3(0.0f, 1.25f, 1.0f);
    cameraPitch = -0.12f;
    expectTheLinesContour("contours_near");
    const auto inFront = [&quads](glm::vec3 world) {
        const glm::vec4 clip = quads.cameraProjection * quads.cameraView * glm::vec4(world, 1.0f);
        return clip.z > -clip.w;
    };
    EXPECT_TRUE(inFront({1.5f, 1.0f, -24.0f}) && !inFront({1.5f, 1.0f, 16.0f}))
        << "the slab's long edges cross the near plane";

    for (GLuint program : {quads.shadowMappingProgram, quads.depthRttProgram, quads.toonProgram,
                           quads.wireframeProgram, quads.bumpMappingProgram}) {
        glDeleteProgram(program);
    }
    glDeleteTextures(1, &quads.shadowDepthTexture);
    glDeleteFramebuffers(1, &quads.shadowFramebuffer);
}

TEST_F(RenderFrames, OccluderCastsAShadowOnlyWithShadowsEnabled)
{
    Renderer& r = s->renderer;
    s->box.translate(1.5f, 0.5f, 0.0f);
    std::vector<SceneObject*> objects = {&s->flatGround, &s->box};
    applyStyle(r, Style::Shadow, objects, {});
    const Frame shadowed = renderFrame(r, objects, {&s->box});

    // The ground point whose ray to the light passes through the box's centre.
    const glm::vec3 light = glm::normalize(r.lightPosition - glm::vec3(0, 0, -1));
    const glm::vec3 boxCentre(1.5f, 0.5f, 0.0f);
    const glm::vec3 inShadow = boxCentre - light * (boxCentre.y / light.y);
    const glm::vec3 inOpen(-2.5f, 0.0f, 1.5f);
    const glm::ivec2 shadowPixel = pixelOf(r, inShadow);
    const glm::ivec2 openPixel = pixelOf(r, inOpen);

    r.shadowsEnabled = false;
    const Frame unshadowed = renderFrame(r, objects, {&s->box});

    const float darkened = meanLuminance(shadowed, shadowPixel, 3);
    const float lit = meanLuminance(unshadowed, shadowPixel, 3);
    EXPECT_LT(darkened, 0.7f * lit) << "shadow behind the box";
    EXPECT_NEAR(meanLuminance(shadowed, openPixel, 3), meanLuminance(unshadowed, openPixel, 3), 1.0f)
        << "open ground is the same either way";

    // With shadows off, the shadow map holds the clear depth everywhere after the pass.
    std::vector<float> depth(static_cast<size_t>(shadowMapSize) * shadowMapSize);
    glBindTexture(GL_TEXTURE_2D, r.shadowDepthTexture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    float nearest = 1.0f;
    for (float d : depth) {
        nearest = std::min(nearest, d);
    }
    EXPECT_EQ(nearest, 1.0f);
    writeSnapshot(shadowed, "shadow_box");
}

TEST_F(RenderFrames, AThinOccluderJustAboveTheGroundCastsItsWholeShadow)
{
    // A plate whose top is 0.06 units above the ground, as the brim of a crown or the top of a
    // battlement stands over what it shades. The light's ray past its left edge meets the ground
    // 0.09 units further left, so a strip that wide of its shadow shows beside it; a depth bias
    // too large for the shadow map lifts the plate's shadow off the ground, strip and all.
    Renderer& r = s->renderer;
    constexpr float top = 0.06f;
    s->plate.translate(1.5f, top - 0.005f, 0.0f);
    std::vector<SceneObject*> objects = {&s->flatGround, &s->plate};
    applyStyle(r, Style::Shadow, objects, {});
    const Frame shadowed = renderFrame(r, objects, {});
    r.shadowsEnabled = false;
    const Frame unshadowed = renderFrame(r, objects, {});
    writeSnapshot(shadowed, "shadow_thin_plate");

    const glm::vec3 light = glm::normalize(r.lightPosition - glm::vec3(0, 0, -1));
    const float shadowEdge = 1.0f - light.x * top / light.y;  // on the ground line z = 0
    constexpr float texel = 20.0f / shadowMapSize;            // world units: the light's box is 20 wide
    // Along that line from the plate's edge leftwards: dark up to the shadow's edge, lit past it.
    float lastDark = -1.0f;
    for (float x = 1.0f - texel / 4.0f; x > shadowEdge - 0.2f; x -= texel / 8.0f) {
        const glm::ivec2 pixel = pixelOf(r, glm::vec3(x, 0.0f, 0.0f));
        if (luminance(shadowed.at(pixel.x, pixel.y)) < 0.75f * luminance(unshadowed.at(pixel.x, pixel.y))) {
            lastDark = x;
        } else {
            EXPECT_LT(x, shadowEdge + 2.0f * texel)
                << "lit ground at x = " << x << ", inside the plate's shadow, which ends at " << shadowEdge;
        }
    }
    ASSERT_GT(lastDark, 0.0f) << "the plate casts no shadow beside itself";
    EXPECT_NEAR(lastDark, shadowEdge, 2.0f * texel)
        << "the shadow's edge is off by " << (lastDark - shadowEdge) / texel << " shadow-map texels";
}

TEST_F(RenderFrames, NormalMapChangesTheShadingOfABumpObject)
{
    Renderer& r = s->renderer;
    // The same ground, once with the bump map and once with a flat normal map.
    const glm::vec3 patchCentre(-1.9f, 0.0f, 1.9f);  // inside one square of the colour texture
    float spread[2] = {0.0f, 0.0f};
    for (int k = 0; k < 2; ++k) {
        SceneObject* ground = k == 0 ? &s->ground : &s->flatGround;
        std::vector<SceneObject*> objects = {ground};
        applyStyle(r, Style::Bump, objects, {ground});
        const Frame frame = renderFrame(r, objects, {});
        const glm::ivec2 centre = pixelOf(r, patchCentre);
        const float mean = meanLuminance(frame, centre, 12);
        float variance = 0.0f;
        for (int y = centre.y - 12; y <= centre.y + 12; ++y) {
            for (int x = centre.x - 12; x <= centre.x + 12; ++x) {
                variance += (luminance(frame.at(x, y)) - mean) * (luminance(frame.at(x, y)) - mean);
            }
        }
        spread[k] = std::sqrt(variance / (25.0f * 25.0f));
    }
    EXPECT_GT(spread[0], 8.0f) << "the bumps show as light and shade";
    EXPECT_LT(spread[1], 2.0f) << "a flat normal map shades the square evenly";
}

TEST_F(RenderFrames, EveryStyleRendersWithoutGlError)
{
    if (const char* expected = std::getenv("LUMARQ_EXPECT_GL_VERSION")) {
        const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        ASSERT_EQ(std::string(version).rfind(expected, 0), 0u) << version;
    }
    Renderer& r = s->renderer;
    s->sphere.translate(-1.2f, 0.8f, 0.0f);
    s->box.translate(1.5f, 0.5f, 0.0f);
    s->ball.scale(0.5f, 0.5f, 0.5f);
    s->ball.translate(0.5f, 0.8f, 4.0f);
    s->ground.toonColor =
        glm::mat3(glm::vec3(0.2f, 0.8f, 0.8f), glm::vec3(0.0f, 0.6f, 0.8f), glm::vec3(0.0f, 0.4f, 0.6f));
    s->sphere.toonColor = glm::mat3(glm::vec3(0.8f, 0.4f, 0.0f), glm::vec3(0.431f, 0.286f, 0.024f),
                                    glm::vec3(0.435f, 0.294f, 0.024f) * 0.7f);
    s->box.toonColor = glm::mat3(glm::vec3(0.463f, 0.698f, 0.145f), glm::vec3(0.306f, 0.573f, 0.082f),
                                 glm::vec3(0.275f, 0.376f, 0.047f));
    s->ball.toonColor =
        glm::mat3(glm::vec3(1.0f, 1.0f, 0.4f), glm::vec3(0.6f, 0.8f, 0.2f), glm::vec3(0.4f, 0.6f, 0.2f));
    std::vector<SceneObject*> objects = {&s->ground, &s->sphere, &s->box, &s->ball, &s->empty};
    std::vector<SceneObject*> outlined = {&s->sphere, &s->box, &s->ball, &s->empty};
    const char* names[3] = {"stage_toon", "stage_shadow", "stage_bump"};
    int index = 0;
    for (Style style : {Style::Toon, Style::Shadow, Style::Bump}) {
        applyStyle(r, style, objects, {&s->ground, &s->sphere});
        const Frame frame = renderFrame(r, objects, outlined);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << names[index];
        EXPECT_EQ(frame.at(viewWidth / 2, viewHeight - 3), white) << "sky stays white";
        writeSnapshot(frame, names[index++]);
    }
}

TEST(RenderOnCoreThreeThree, EveryStyleRendersWithoutGlError)
{
    if (std::getenv("LUMARQ_EXPECT_GL_VERSION") != nullptr) {
        GTEST_SKIP() << "already the 3.3 run";
    }
    char self[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
    char cwd[4096] = {};
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ProcessOptions options;
    options.workingDirectory = cwd;
    options.setEnv = {"MESA_GL_VERSION_OVERRIDE=3.3", "LUMARQ_EXPECT_GL_VERSION=3.3"};
    options.unsetEnv = {"LUMARQ_SNAPSHOT_DIR"};
    options.timeoutSeconds = 120.0;
    const ProcessResult result =
        runProcess({self, "--gtest_filter=RenderFrames.EveryStyleRendersWithoutGlError"}, options);
    EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
    EXPECT_NE(result.out.find("[  PASSED  ] 1 test"), std::string::npos) << result.out;
}
