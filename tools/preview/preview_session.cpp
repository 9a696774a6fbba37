// The preview's window and frame, its keys, and the transport applied to the show and the music.
#include "preview_session.h"

#include "app/scene.h"
#include "app/show_control.h"
#include "capture_frame.h"
#include "platform/clock.h"
#include "preview_music.h"
#include "preview_options.h"
#include "preview_title.h"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <thread>

namespace {

// Often enough that a saved shader shows at once, seldom enough that ten stat calls cost nothing.
constexpr double shaderLookIntervalMs = 250.0;
// OpenAL Soft mixes in blocks of about 23 ms: a few of them give the clock's steps.
constexpr double outputClockLearningMs = 100.0;
// The title is rewritten a few times a second: often enough to read the time while it runs.
constexpr double titleIntervalMs = 250.0;

struct KeyBinding {
    int key;
    bool shift;
    bool repeats;  // held down, the key acts again at the keyboard's repeat rate
    PreviewCommand command;
};

constexpr KeyBinding keyBindings[] = {
    {GLFW_KEY_SPACE, false, false, PreviewCommand::togglePause},
    {GLFW_KEY_PERIOD, false, true, PreviewCommand::frameForward},
    {GLFW_KEY_COMMA, false, true, PreviewCommand::frameBack},
    {GLFW_KEY_L, false, true, PreviewCommand::forward1s},
    {GLFW_KEY_J, false, true, PreviewCommand::back1s},
    {GLFW_KEY_L, true, true, PreviewCommand::forward10s},
    {GLFW_KEY_J, true, true, PreviewCommand::back10s},
    {GLFW_KEY_HOME, false, false, PreviewCommand::toStart},
    {GLFW_KEY_I, false, false, PreviewCommand::markLoopStart},
    {GLFW_KEY_O, false, false, PreviewCommand::markLoopEnd},
    {GLFW_KEY_BACKSPACE, false, false, PreviewCommand::clearLoop},
};

// Keys only queue their command: they arrive inside glfwPollEvents, which a seek also calls
// while it steps the show.
void onKey(GLFWwindow* window, int key, int, int action, int mods)
{
    if (action == GLFW_RELEASE) {
        return;
    }
    auto& session = *static_cast<PreviewSession*>(glfwGetWindowUserPointer(window));
    const bool shift = (mods & GLFW_MOD_SHIFT) != 0;
    for (const KeyBinding& binding : keyBindings) {
        if (binding.key == key && binding.shift == shift && (action == GLFW_PRESS || binding.repeats)) {
            if (session.queuedCount < static_cast<int>(std::size(session.queued))) {
                session.queued[session.queuedCount++] = binding.command;
            }
            return;
        }
    }
}

// While the music plays, the show's time is placed where the output's clock says the music
// sounds; the estimate of that place sharpens with every reading, by fractions of a frame.
void followMusic(PreviewSession& session, double wallMs)
{
    followOutputClock(session.musicClock, session.show.show->music, wallMs);
    double musicStartWall = 0.0;
    if (session.transport.playing && musicStartWallMs(session.musicClock, musicStartWall)) {
        session.transport.anchorWallMs = musicStartWall;
    }
}

void updateTitle(PreviewSession& session, double wallMs, bool now)
{
    const double elapsed = wallMs - session.titleSinceMs;
    if (!now && elapsed < titleIntervalMs) {
        return;
    }
    const double fps = elapsed > 0.0 ? session.titleFrames * 1000.0 / elapsed : 0.0;
    glfwSetWindowTitle(session.show.window, previewTitle(session.transport, *session.show.scene, fps).c_str());
    if (elapsed >= titleIntervalMs) {
        session.titleSinceMs = wallMs;
        session.titleFrames = 0;
    }
}

// The show's state set to `showMs` by stepping it from its start, drawing nothing; the frame at
// `showMs` itself is the next one shown.
void stepShowTo(PreviewSession& session, double showMs)
{
    rewindToolSession(session.show);
    stepToolSessionTo(session.show, showMs);
}

// The show runs on from its time now on the wall clock, from where the music sounds that time.
void playOnFromHere(PreviewSession& session)
{
    playMusicFrom(session.show.show->music, session.musicClock, session.transport.showMs);
    const double wallMs = previewWallMs();
    seekTransport(session.transport, session.transport.showMs, wallMs);
    followMusic(session, wallMs);
}

// Rebuilds the programs whose files were saved since the last look, every so often. Done after a
// frame is shown, so that the time a rebuild takes never falls between the frame's reading of
// the wall clock and the music's clock.
void lookForShaderEdits(PreviewSession& session, double wallMs)
{
    if (wallMs >= session.nextShaderLookMs) {
        rebuildChangedPrograms(session.shaders, *session.show.scene);
        session.nextShaderLookMs = wallMs + shaderLookIntervalMs;
    }
}

}  // namespace

double previewWallMs()
{
    using Clock = std::chrono::steady_clock;
    return std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch()).count();
}

bool openPreviewSession(PreviewSession& session, const PreviewOptions& options)
{
    // Before the programs are first built, so they come from the files being edited.
    startShaderWatch(session.shaders, options.shaderSourceDir);
    ToolSessionSettings settings;
    settings.program = "lumarq-preview";
    settings.width = options.width;
    settings.height = options.height;
    settings.muted = false;
    settings.quadContours = options.quadContours;
    settings.windowMode = options.fullscreen ? ToolWindowMode::fullScreen : ToolWindowMode::resizable;
    ToolSession& show = session.show;
    if (!openToolSession(show, settings)) {
        return false;
    }
    // A tool for watching, not a benchmark: no more frames than the screen shows.
    glfwSwapInterval(1);
    glfwSetWindowTitle(show.window, "Lumarq preview");

    glfwSetWindowUserPointer(show.window, &session);
    glfwSetKeyCallback(show.window, onKey);
    session.titleSinceMs = previewWallMs();
    session.nextShaderLookMs = session.titleSinceMs + shaderLookIntervalMs;
    // Readings of the output's clock over a few of its blocks, before the music starts by it.
    const double clockLearnt = previewWallMs() + outputClockLearningMs;
    while (previewWallMs() < clockLearnt) {
        followOutputClock(session.musicClock, show.show->music, previewWallMs());
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    seekPreview(session, options.fromMs);
    return true;
}

void previewFrame(PreviewSession& session, Image* image)
{
    const bool commanded = session.queuedCount > 0;
    for (int i = 0; i < session.queuedCount; ++i) {
        runPreviewCommand(session, session.queued[i]);
    }
    session.queuedCount = 0;
    // The frame's time on the wall clock, for the music, the transport, the shaders and the title.
    const double wallMs = previewWallMs();

    // The passes draw into the whole window and the projection takes its aspect from it.
    ToolSession& show = session.show;
    Renderer& renderer = show.scene->renderer;
    glfwGetFramebufferSize(show.window, &renderer.viewportWidth, &renderer.viewportHeight);
    if (renderer.viewportWidth <= 0 || renderer.viewportHeight <= 0) {
        lookForShaderEdits(session, wallMs);
        glfwWaitEventsTimeout(0.1);  // minimised: nothing to draw into
        return;
    }

    followMusic(session, wallMs);
    const bool wasPlaying = session.transport.playing;
    const NextFrame next = advanceTransport(session.transport, wallMs);
    if (next.jumped) {
        stepShowTo(session, next.showMs);
        playOnFromHere(session);
    } else if (wasPlaying && !session.transport.playing) {
        pauseMusic(show.show->music, session.musicClock);  // the end of the show
    }

    if (image != nullptr) {
        captureFrame(show, session.transport.showMs, *image);
    } else {
        runToolFrame(show, session.transport.showMs, true);
    }
    lookForShaderEdits(session, wallMs);
    if (!session.transport.playing) {
        // The show stands still: a frame's time between frames is enough for the free camera's
        // mouse look and for the keys. (Waking on each event instead would read a key's press and
        // its release in two frames, and the demo's keys act once per frame while down.)
        std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(toolFrameMs));
    }

    ++session.titleFrames;
    updateTitle(session, wallMs, commanded || next.jumped);
}

bool previewFinished(const PreviewSession& session)
{
    GLFWwindow* window = session.show.window;
    return glfwWindowShouldClose(window) || glfwGetKey(window, GLFW_KEY_ESCAPE) == GLFW_PRESS;
}

void closePreviewSession(PreviewSession& session)
{
    closeToolSession(session.show);
}

void seekPreview(PreviewSession& session, double showMs)
{
    const double began = previewWallMs();
    seekTransport(session.transport, showMs, began);
    stepShowTo(session, session.transport.showMs);
    session.lastSeekMs = previewWallMs() - began;
    if (session.transport.playing) {
        playOnFromHere(session);
    } else {
        pauseMusic(session.show.show->music, session.musicClock);
    }
}

void pausePreview(PreviewSession& session)
{
    pauseTransport(session.transport);
    pauseMusic(session.show.show->music, session.musicClock);
}

void resumePreview(PreviewSession& session)
{
    const double before = session.transport.showMs;
    resumeTransport(session.transport, previewWallMs());
    if (session.transport.showMs != before) {
        seekPreview(session, session.transport.showMs);  // from the end of the show back to the top
    } else {
        playOnFromHere(session);
    }
}

void runPreviewCommand(PreviewSession& session, PreviewCommand command)
{
    Transport& transport = session.transport;
    switch (command) {
    case PreviewCommand::togglePause:
        if (transport.playing) {
            pausePreview(session);
        } else {
            resumePreview(session);
        }
        break;
    case PreviewCommand::frameForward:
        // The next frame carries on from this one, one step later.
        pausePreview(session);
        transport.showMs = std::min(frameStepFrom(transport.showMs, 1), showEndMs);
        break;
    case PreviewCommand::frameBack:
        pausePreview(session);
        seekPreview(session, frameStepFrom(transport.showMs, -1));
        break;
    case PreviewCommand::forward1s: seekPreview(session, transport.showMs + 1000.0); break;
    case PreviewCommand::back1s: seekPreview(session, transport.showMs - 1000.0); break;
    case PreviewCommand::forward10s: seekPreview(session, transport.showMs + 10000.0); break;
    case PreviewCommand::back10s: seekPreview(session, transport.showMs - 10000.0); break;
    case PreviewCommand::toStart: seekPreview(session, 0.0); break;
    case PreviewCommand::markLoopStart: setLoopStart(transport); break;
    case PreviewCommand::markLoopEnd: setLoopEnd(transport); break;
    case PreviewCommand::clearLoop: clearLoop(transport); break;
    }
}
