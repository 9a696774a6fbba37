// Start-up and frames of the demo under the virtual clock: the same calls in the same order as
// the program's own loop, plus the bench's timing brackets and the bench-only variants.
#include "bench_session.h"

#include "app/frame_step.h"
#include "app/load_timings.h"
#include "app/scene.h"
#include "app/show_control.h"
#include "app/show_script.h"
#include "app/window.h"
#include "platform/clock.h"

#include <GLFW/glfw3.h>

#include <cstdio>
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

void applyForcedStyle(BenchSession& session)
{
    const ShadingStyle* style = nullptr;
    switch (session.options.style) {
    case ForcedStyle::none: return;
    case ForcedStyle::toon: style = &toonStyle; break;
    case ForcedStyle::shadow: style = &shadowStyle; break;
    case ForcedStyle::bump: style = &bumpStyle; break;
    }
    // Marking both timed switches spent keeps the script from changing the forced look; the bump
    // style builds on the shadow style's programs, as it does in the show.
    session.show->shadowSwitchDone = true;
    session.show->bumpSwitchDone = true;
    if (style == &bumpStyle) {
        applyStyle(*session.scene, shadowStyle);
    }
    applyStyle(*session.scene, *style);
}

void renderOutline(BenchSession& session)
{
    Scene& scene = *session.scene;
    if (session.options.lineWidth <= 0.0f && !session.options.noOutline) {
        scene.renderOutlinePass();
        return;
    }
    scene.renderer.beginOutlinePass();
    if (session.options.noOutline) {
        return;
    }
    glLineWidth(session.options.lineWidth);
    for (StageObject which : stageDrawOrder) {
        if (stageEntry(which).outlined) {
            scene.renderer.drawOutline(scene.object(which));
        }
    }
}

}  // namespace

double benchClock()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

bool openBenchSession(BenchSession& session, const BenchOptions& options, double mainEntry, StartupTimes& startup)
{
    startup.processToMain = milliseconds(secondsSinceProcessStart() - (benchClock() - mainEntry));
    if (startup.processToMain < 0.0) {
        startup.processToMain = 0.0;
    }
    session.options = options;
    virtualClock.enabled = true;
    virtualClock.milliseconds = 0.0;
    // The bench measures the picture, not the sound device; the music still decodes as in the show.
    setenv("ALSOFT_DRIVERS", "null", 0);

    double step = benchClock();
    session.show = std::make_unique<ShowControl>();
    session.show->prepare();
    startup.soundAndTimeline = milliseconds(benchClock() - step);

    step = benchClock();
    session.window = openToolWindow("lumarq-bench", options.width, options.height);
    if (session.window == nullptr) {
        return false;
    }
    glfwSwapInterval(0);  // unthrottled, as the demo runs
    startup.windowAndContext = milliseconds(benchClock() - step);

    step = benchClock();
    LoadTimings loadTimings;
    session.scene = std::make_unique<Scene>();
    if (!session.scene->load(session.window, &loadTimings)) {
        fprintf(stderr, "lumarq-bench: %s\n", session.scene->loadFailure.c_str());
        return false;
    }
    startup.sceneLoad = milliseconds(benchClock() - step);
    startup.shaderPrograms = milliseconds(loadTimings.rendererSeconds);
    for (int i = 0; i < benchModelCount; ++i) {
        startup.modelRead[i] = milliseconds(loadTimings.modelReadSeconds[i]);
        startup.modelTextures[i] = milliseconds(loadTimings.modelTextureSeconds[i]);
        startup.modelUpload[i] =
            milliseconds(loadTimings.modelUploadSeconds[i] - loadTimings.modelTextureSeconds[i]);
    }
    startup.textures = milliseconds(loadTimings.textureSeconds);
    startup.textureCount = loadTimings.textureCount;

    step = benchClock();
    session.prevSeconds = secondsNow();
    session.show->start(*session.scene);
    applyForcedStyle(session);
    startup.showStart = milliseconds(benchClock() - step);

    step = benchClock();
    runBenchFrame(session, 0.0, nullptr, 0, nullptr);
    const double end = benchClock();
    startup.firstFrame = milliseconds(end - step);
    startup.toFirstFrame = startup.processToMain + milliseconds(end - mainEntry);
    return true;
}

BenchStyle currentStyle(const Scene& scene)
{
    bool shadowMapping = false;
    for (const SceneObject& object : scene.objects) {
        if (object.program == scene.renderer.bumpMappingProgram) {
            return bumpStyleIndex;
        }
        shadowMapping = shadowMapping || object.program == scene.renderer.shadowMappingProgram;
    }
    return shadowMapping ? shadowStyleIndex : toonStyleIndex;
}

void runBenchFrame(BenchSession& session, double ms, PassTimers* timers, long frame, double* passCpuMs)
{
    ShowControl& show = *session.show;
    Scene& scene = *session.scene;
    virtualClock.milliseconds = ms;
    advanceFrame(show, scene, session.prevSeconds);
    if (session.options.noShadows) {
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
    pass(outlinePass, [&] { renderOutline(session); });
    pass(shadedPass, [&] { scene.renderShadedPass(); });

    glfwSwapBuffers(session.window);
    // llvmpipe renders on its own threads; finishing here charges the frame its whole cost.
    glFinish();
    show.afterSwap(scene, session.window);
    glfwPollEvents();
}

void runBareFrame(BenchSession& session)
{
    const Renderer& renderer = session.scene->renderer;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, renderer.viewportWidth, renderer.viewportHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glfwSwapBuffers(session.window);
    glFinish();
    glfwPollEvents();
}

void closeBenchSession(BenchSession& session)
{
    if (session.scene && session.window != nullptr) {
        session.scene->release();
    }
    glfwTerminate();
    session.scene.reset();
    session.show.reset();
}
