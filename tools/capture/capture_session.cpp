// One frame of the demo's loop, with the virtual clock set to the frame's show time.
#include "capture_session.h"

#include "app/frame_step.h"
#include "app/scene.h"
#include "app/show_control.h"
#include "app/window.h"
#include "camera/camera.h"
#include "platform/clock.h"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

bool openCaptureSession(CaptureSession& session, const CaptureOptions& options)
{
    virtualClock.enabled = true;
    virtualClock.milliseconds = 0.0;
    // The video takes its sound from the music file; the capture itself plays nothing.
    setenv("ALSOFT_DRIVERS", "null", 1);

    session.show = std::make_unique<ShowControl>();
    session.show->prepare();
    session.window = openToolWindow("lumarq-capture", options.width, options.height);
    if (session.window == nullptr) {
        return false;
    }

    session.scene = std::make_unique<Scene>();
    if (!session.scene->load(session.window)) {
        fprintf(stderr, "lumarq-capture: %s\n", session.scene->loadFailure.c_str());
        return false;
    }
    session.keys = options.keys;
    std::stable_sort(session.keys.begin(), session.keys.end(),
                     [](const KeyPress& a, const KeyPress& b) { return a.timeMs < b.timeMs; });
    session.prevSeconds = secondsNow();
    session.show->start(*session.scene);
    return true;
}

void runFrame(CaptureSession& session, double ms, Image* image)
{
    ShowControl& show = *session.show;
    Scene& scene = *session.scene;
    virtualClock.milliseconds = ms;
    advanceFrame(show, scene, session.prevSeconds);
    if (image != nullptr) {
        scene.render();
        readFramebuffer(*image, scene.renderer.viewportWidth, scene.renderer.viewportHeight, session.scratch);
        glfwSwapBuffers(session.window);
    } else {
        // The outline pass is where the camera follows its pose or flies; keep that going.
        const Renderer& renderer = scene.renderer;
        updateCameraMatrices(session.window, renderer.autoCamera,
                             static_cast<float>(renderer.viewportWidth) /
                                 static_cast<float>(renderer.viewportHeight));
    }

    ShowKeys keys;
    while (session.nextKey < session.keys.size() && session.keys[session.nextKey].timeMs <= ms) {
        switch (session.keys[session.nextKey].key) {
        case '0': keys.autoCamera = true; break;
        case '1': keys.toon = true; break;
        case '2': keys.shadow = true; break;
        case '3': keys.bump = true; break;
        }
        ++session.nextKey;
    }
    show.applySwitches(scene, keys);
    glfwPollEvents();
}

void closeCaptureSession(CaptureSession& session)
{
    if (session.scene && session.window != nullptr) {
        session.scene->release();
    }
    glfwTerminate();
    session.scene.reset();
    session.show.reset();
}
