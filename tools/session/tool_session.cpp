// Opening and stepping the show under the virtual clock, in the same calls and order as the
// demo's own frame loop.
#include "tool_session.h"

#include "app/frame_step.h"
#include "app/scene.h"
#include "app/show_control.h"
#include "camera/camera.h"
#include "muted_sound.h"
#include "platform/clock.h"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

bool openToolSession(ToolSession& session, const ToolSessionSettings& settings, ToolSessionStartup* startup)
{
    ToolSessionStartup times;
    virtualClock.enabled = true;
    virtualClock.milliseconds = 0.0;
    session.keys = settings.keys;
    std::stable_sort(session.keys.begin(), session.keys.end(),
                     [](const KeyPress& a, const KeyPress& b) { return a.timeMs < b.timeMs; });
    session.nextKey = 0;

    auto step = std::chrono::steady_clock::now();
    session.show = std::make_unique<ShowControl>();
    if (settings.muted) {
        muteShowSound(*session.show);
    }
    session.show->prepare();
    times.showPrepare = secondsSince(step);

    step = std::chrono::steady_clock::now();
    session.window = openToolWindow(settings.program, settings.width, settings.height, settings.windowMode);
    if (session.window == nullptr) {
        return false;
    }
    times.window = secondsSince(step);

    step = std::chrono::steady_clock::now();
    session.scene = std::make_unique<Scene>();
    session.scene->forceOutlineQuads = settings.quadContours;
    if (!session.scene->load(session.window, &times.load)) {
        fprintf(stderr, "%s: %s\n", settings.program, session.scene->loadFailure.c_str());
        return false;
    }
    times.sceneLoad = secondsSince(step);

    session.start = recordShowStart(*session.scene);
    session.nextFrame = 0;
    step = std::chrono::steady_clock::now();
    session.prevSeconds = secondsNow();
    session.show->start(*session.scene);
    times.showStart = secondsSince(step);
    if (startup != nullptr) {
        *startup = times;
    }
    return true;
}

void beginToolFrame(ToolSession& session, double ms)
{
    virtualClock.milliseconds = ms;
    advanceFrame(*session.show, *session.scene, session.prevSeconds);
}

void endToolFrame(ToolSession& session)
{
    ShowControl& show = *session.show;
    Scene& scene = *session.scene;
    ShowKeys scripted;
    bool pressed = false;
    for (; session.nextKey < session.keys.size() &&
           session.keys[session.nextKey].timeMs <= virtualClock.milliseconds;
         ++session.nextKey) {
        switch (session.keys[session.nextKey].key) {
        case '0': scripted.autoCamera = true; break;
        case '1': scripted.toon = true; break;
        case '2': scripted.shadow = true; break;
        case '3': scripted.bump = true; break;
        }
        pressed = true;
    }
    // The scripted presses first, with the timed switches as the demo applies them to its keys;
    // the keyboard read after them finds those switches spent.
    if (pressed) {
        show.applySwitches(scene, scripted);
    }
    show.afterSwap(scene, session.window);
    glfwPollEvents();
}

void runToolFrame(ToolSession& session, double ms, bool draw)
{
    beginToolFrame(session, ms);
    if (draw) {
        session.scene->render();
        glfwSwapBuffers(session.window);
    } else {
        // The outline pass is where the camera follows its pose or flies; keep that going.
        const Renderer& renderer = session.scene->renderer;
        updateCameraMatrices(session.window, renderer.autoCamera, viewportAspect(renderer));
    }
    endToolFrame(session);
}

void stepToolSessionTo(ToolSession& session, double showMs, double frameMs)
{
    for (; session.nextFrame * frameMs < showMs; ++session.nextFrame) {
        runToolFrame(session, session.nextFrame * frameMs, false);
    }
    while (session.nextFrame * frameMs <= showMs) {
        ++session.nextFrame;
    }
}

void rewindToolSession(ToolSession& session)
{
    rewindShow(*session.scene, *session.show, session.start);
    virtualClock.milliseconds = 0.0;
    session.prevSeconds = secondsNow();
    session.nextKey = 0;
    session.nextFrame = 0;
}

void closeToolSession(ToolSession& session)
{
    if (session.scene && session.window != nullptr) {
        session.scene->release();
    }
    glfwTerminate();
    session.window = nullptr;
    session.scene.reset();
    session.show.reset();
}
