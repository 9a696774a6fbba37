// Start-up and frames of the demo under the virtual clock: the same calls in the same order as
// the program's own loop, plus the bench's timing brackets and the bench-only variants.
#include "bench_session.h"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

double milliseconds(double seconds)
{
    return seconds * 1000.0;
}

// Seconds between this process's start (from /proc, in clock ticks) and now, on the boot clock
// that /proc counts from; 0 when /proc cannot be read.
double secondsSinceProcessStart()
{
    std::ifstream file("/proc/self/stat");
    std::string stat;
    std::getline(file, stat);
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) {
        return 0.0;
    }
    // Fields after the command name start at field 3; the start time is field 22.
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    for (int index = 3; index <= 22 && fields >> field; ++index) {
        if (index == 22) {
            const double startSeconds = strtod(field.c_str(), nullptr) / static_cast<double>(sysconf(_SC_CLK_TCK));
            timespec now{};
            clock_gettime(CLOCK_BOOTTIME, &now);
            const double since =
                static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9 - startSeconds;
            return since > 0.0 ? since : 0.0;
        }
    }
    return 0.0;
}

void renderOutline(Scene& scene, const BenchOptions& options)
{
    if (!options.noOutline) {
        scene.renderOutlinePass();
        return;
    }
    scene.renderer.beginOutlinePass();
}

}  // namespace

double benchClock()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

bool openBenchSession(ToolSession& session, const BenchOptions& options, double mainEntry, StartupTimes& startup)
{
    startup.processToMain = std::max(0.0, milliseconds(secondsSinceProcessStart() - (benchClock() - mainEntry)));
    ToolSessionSettings settings;
    settings.program = "lumarq-bench";
    settings.width = options.width;
    settings.height = options.height;
    settings.quadContours = options.quadContours;
    ToolSessionStartup steps;
    if (!openToolSession(session, settings, &steps)) {
        return false;
    }
    glfwSwapInterval(0);  // unthrottled, as the demo runs
    startup.soundAndTimeline = milliseconds(steps.showPrepare);
    startup.windowAndContext = milliseconds(steps.window);
    startup.sceneLoad = milliseconds(steps.sceneLoad);
    startup.shaderPrograms = milliseconds(steps.load.rendererSeconds);
    for (int i = 0; i < benchModelCount; ++i) {
        startup.modelRead[i] = milliseconds(steps.load.modelReadSeconds[i]);
        startup.modelTextures[i] = milliseconds(steps.load.modelTextureSeconds[i]);
        startup.modelUpload[i] =
            milliseconds(steps.load.modelUploadSeconds[i] - steps.load.modelTextureSeconds[i]);
    }
    startup.textures = milliseconds(steps.load.textureSeconds);
    startup.textureCount = steps.load.textureCount;
    startup.showStart = milliseconds(steps.showStart);
    if (options.lineWidth > 0.0f) {
        session.scene->renderer.outlineStrokeWidth = options.lineWidth;
    }

    if (options.forceStyle) {
        // Marking both timed switches spent keeps the script from changing the forced look.
        session.show->shadowSwitchDone = true;
        session.show->bumpSwitchDone = true;
        applyShowStyle(*session.scene, options.style);
    }

    const double step = benchClock();
    runBenchFrame(session, options, 0.0, nullptr, 0, nullptr);
    const double end = benchClock();
    startup.firstFrame = milliseconds(end - step);
    startup.toFirstFrame = startup.processToMain + milliseconds(end - mainEntry);
    return true;
}

void runBenchFrame(ToolSession& session, const BenchOptions& options, double ms, PassTimers* timers, long frame,
                   double* passCpuMs)
{
    Scene& scene = *session.scene;
    beginToolFrame(session, ms);
    if (options.noShadows) {
        scene.renderer.shadowsEnabled = false;
    }

    double mark = 0.0;
    if (passCpuMs != nullptr) {
        glFinish();
        mark = benchClock();
    }
    const auto pass = [&](BenchPass which, auto draw) {
        if (timers != nullptr) {
            beginPassTimer(*timers, frame, which);
        }
        draw();
        if (timers != nullptr) {
            endPassTimer();
        }
        if (passCpuMs != nullptr) {
            glFinish();
            const double after = benchClock();
            passCpuMs[which] = milliseconds(after - mark);
            mark = after;
        }
    };
    pass(shadowPass, [&] { scene.renderShadowPass(); });
    pass(outlinePass, [&] { renderOutline(scene, options); });
    pass(shadedPass, [&] { scene.renderShadedPass(); });

    glfwSwapBuffers(session.window);
    // llvmpipe renders on its own threads; finishing here charges the frame its whole cost.
    glFinish();
    endToolFrame(session);
}

void runBareFrame(ToolSession& session)
{
    const Renderer& renderer = session.scene->renderer;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, renderer.viewportWidth, renderer.viewportHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glfwSwapBuffers(session.window);
    glFinish();
    glfwPollEvents();
}
