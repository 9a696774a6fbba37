// The whole show through the real Scene and ShowControl under a virtual clock, with the GL error
// flag read after every pass of every drawn frame: the three styles, the timed switches and the
// keys '1', '2', '3' and '0' must never leave an error, on the 4.5 context and on a 3.3 one.
#include "app/scene.h"
#include "app/show_control.h"
#include "support/process.h"
#include "tool_session.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <set>
#include <string>
#include <unistd.h>

namespace {

constexpr double frameMs = 1000.0 / 30.0;
constexpr int drawEvery = 8;  // about four drawn frames per second of show
constexpr double showEndMs = 90000.0;

struct KeyAt {
    double ms;
    char key;
};

// Before the timed switches: every style and the camera toggle by key. After them: the keys
// again, over the scripted looks.
const KeyAt keyPlan[] = {{4000, '3'},  {8000, '2'},  {12000, '1'}, {16000, '0'}, {20000, '0'}, {24000, '2'},
                         {40000, '1'}, {60000, '3'}, {64000, '2'}, {70000, '0'}, {76000, '1'}, {80000, '0'}};

ShowKeys keysFor(char key)
{
    ShowKeys keys;
    keys.toon = key == '1';
    keys.shadow = key == '2';
    keys.bump = key == '3';
    keys.autoCamera = key == '0';
    return keys;
}

std::string errorAt(const char* step, double ms, GLenum error)
{
    return std::string(step) + " at " + std::to_string(static_cast<int>(ms)) + " ms: GL error " +
           std::to_string(error);
}

// One frame of the demo's loop with the passes taken one by one and the error flag read after each.
void drawnFrame(ToolSession& session, double ms, const ShowKeys& keys, std::vector<std::string>& errors)
{
    ShowControl& show = *session.show;
    Scene& scene = *session.scene;
    beginToolFrame(session, ms);
    const struct {
        const char* name;
        void (Scene::*pass)();
    } passes[] = {{"shadow pass", &Scene::renderShadowPass},
                  {"outline pass", &Scene::renderOutlinePass},
                  {"shaded pass", &Scene::renderShadedPass}};
    for (const auto& step : passes) {
        (scene.*step.pass)();
        if (const GLenum error = glGetError(); error != GL_NO_ERROR) {
            errors.push_back(errorAt(step.name, ms, error));
        }
    }
    glfwSwapBuffers(session.window);
    show.applySwitches(scene, keys);
    glfwPollEvents();
    if (const GLenum error = glGetError(); error != GL_NO_ERROR) {
        errors.push_back(errorAt("swap and switches", ms, error));
    }
}

TEST(GlErrorShow, EveryPassOfTheWholeShowLeavesNoGlError)
{
    ToolSession session;
    ASSERT_TRUE(openToolSession(session, {"GL error sweep", 192, 108}));
    Scene& scene = *session.scene;
    const Renderer& renderer = scene.renderer;

    // When rerun on a forced 3.3 context, make sure that is what we got.
    if (const char* expected = getenv("LUMARQ_EXPECT_GL_VERSION")) {
        GLint major = 0;
        GLint minor = 0;
        glGetIntegerv(GL_MAJOR_VERSION, &major);
        glGetIntegerv(GL_MINOR_VERSION, &minor);
        ASSERT_EQ(std::to_string(major) + "." + std::to_string(minor), expected);
    }
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "after loading";

    std::vector<std::string> errors;
    std::set<GLuint> stonePrograms;
    bool sawShadows = false;
    bool sawFreeCamera = false;
    size_t nextKey = 0;
    int drawn = 0;
    for (long frame = 0; frame * frameMs < showEndMs; ++frame) {
        const double ms = frame * frameMs;
        if (frame % drawEvery != 0) {
            runToolFrame(session, ms, false);
            if (const GLenum error = glGetError(); error != GL_NO_ERROR) {
                errors.push_back(errorAt("undrawn frame", ms, error));
            }
            continue;
        }
        // A key is held during the first drawn frame at or after its time.
        char key = 0;
        if (nextKey < std::size(keyPlan) && keyPlan[nextKey].ms <= ms) {
            key = keyPlan[nextKey++].key;
        }
        drawnFrame(session, ms, keysFor(key), errors);
        ++drawn;
        stonePrograms.insert(scene.object(StageObject::stone).program);
        sawShadows = sawShadows || renderer.shadowsEnabled;
        sawFreeCamera = sawFreeCamera || !renderer.autoCamera;
    }
    const std::set<GLuint> stylePrograms = {renderer.toonProgram, renderer.shadowMappingProgram,
                                            renderer.bumpMappingProgram};
    closeToolSession(session);  // the scene and its renderer are gone from here on

    EXPECT_TRUE(errors.empty()) << errors.size() << " errors, first: " << errors.front();
    EXPECT_EQ(nextKey, std::size(keyPlan));
    EXPECT_GT(drawn, 300);
    EXPECT_EQ(stonePrograms, stylePrograms);
    EXPECT_TRUE(sawShadows);
    EXPECT_TRUE(sawFreeCamera);
}

TEST(GlErrorShow, OnAThreeThreeContextTooEveryPassLeavesNoGlError)
{
    if (getenv("LUMARQ_EXPECT_GL_VERSION") != nullptr) {
        GTEST_SKIP() << "already the 3.3 rerun";
    }
    char self[PATH_MAX] = {};
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    ASSERT_GT(length, 0);
    ProcessOptions options;
    options.workingDirectory = LUMARQ_RUN_DIR;
    options.setEnv = {"MESA_GL_VERSION_OVERRIDE=3.3", "LUMARQ_EXPECT_GL_VERSION=3.3"};
    options.timeoutSeconds = 280;
    const ProcessResult result =
        runProcess({self, "--gtest_filter=GlErrorShow.EveryPassOfTheWholeShowLeavesNoGlError"}, options);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.signal, 0);
    EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
    EXPECT_NE(result.out.find("[  PASSED  ] 1 test"), std::string::npos) << result.out << result.err;
}

}  // namespace
