// Timing the show's frames on the page as lumarq-bench times them.
#include "web_bench.h"

#include "frame_plan.h"
#include "page.h"
#include "show_style.h"
#include "texture_wait.h"
#include "tool_session.h"

#include <GLFW/glfw3.h>
#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct WebBench {
    ToolSession session;
    int frames = 0;
    int next = -defaultWarmupFrames;  // warm-up frames count up to 0
    std::vector<double> frameMs[showStyleCount];
    std::vector<double> passMs[showStyleCount][3];  // shadow, outline, shaded
};

// WebGL's finish returns at once; reading a pixel back waits for every draw before it.
void finishDrawing()
{
    unsigned char pixel[4];
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
}

WebBench bench;

double median(std::vector<double> values)
{
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void report()
{
    for (int style = 0; style < showStyleCount; ++style) {
        printf(
            "lumarq-web bench: %s %zu frames, median %.2f ms (passes: shadow %.2f, outline %.2f, shaded %.2f)\n",
            showStyleNames[style], bench.frameMs[style].size(), median(bench.frameMs[style]),
            median(bench.passMs[style][0]), median(bench.passMs[style][1]), median(bench.passMs[style][2]));
    }
    printf("lumarq-web bench: done\n");
}

// One frame an animation frame, after the textures.
void benchFrame()
{
    ToolSession& session = bench.session;
    if (bench.next == -defaultWarmupFrames && !allTexturesArrived(*session.scene)) {
        return;
    }
    const double showMs = bench.next < 0 ? warmupFrameMs(bench.next + defaultWarmupFrames + 1)
                                         : timedFrameMs(defaultWarmupFrames, bench.frames, bench.next);
    const int style = static_cast<int>(currentShowStyle(*session.scene));
    Scene& scene = *session.scene;
    double passEnd[3] = {};
    const double start = emscripten_get_now();
    beginToolFrame(session, showMs);
    scene.renderShadowPass();
    finishDrawing();
    passEnd[0] = emscripten_get_now();
    scene.renderOutlinePass();
    finishDrawing();
    passEnd[1] = emscripten_get_now();
    scene.renderShadedPass();
    finishDrawing();
    const double end = passEnd[2] = emscripten_get_now();
    glfwSwapBuffers(session.window);
    endToolFrame(session);
    if (bench.next >= 0) {
        bench.frameMs[style].push_back(end - start);
        for (int pass = 0; pass < 3; ++pass) {
            bench.passMs[style][pass].push_back(passEnd[pass] - (pass == 0 ? start : passEnd[pass - 1]));
        }
    }
    if (++bench.next == bench.frames) {
        emscripten_cancel_main_loop();
        report();
    }
}

}  // namespace

int runWebBench(int frames, int width, int height)
{
    ToolSessionSettings settings;
    settings.program = "lumarq-web";
    settings.width = width;
    settings.height = height;
    if (!openToolSession(bench.session, settings)) {
        pageFailed(bench.session.scene != nullptr ? bench.session.scene->loadFailure
                                                  : "The show could not open WebGL 2.");
        return 1;
    }
    bench.frames = std::max(1, frames);
    emscripten_set_main_loop(benchFrame, 0, false);
    return 0;
}
