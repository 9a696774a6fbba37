// The demo's own start-up, frames and shutdown (app/demo.h) in the page: the browser calls each
// frame, and the page's click starts the show.
#include "web_player.h"

#include "app/demo.h"
#include "app/scene.h"
#include "app/show_control.h"
#include "graphics_rebuild.h"
#include "music_follow.h"
#include "page.h"
#include "platform/clock.h"
#include "render/outline_strokes.h"
#include "show_length.h"
#include "show_seek.h"
#include "show_start.h"
#include "show_style.h"
#include "sound/sound_channel.h"
#include "sound/sound_system.h"
#include "texture_wait.h"

#include <GLFW/glfw3.h>
#include <emscripten/emscripten.h>
#include <emscripten/eventloop.h>

#include <algorithm>
#include <string>

namespace {

// The music's queue is topped up this often besides once a frame, so that a slow frame (a texture
// arriving, a slow GPU) does not run it dry: well within the 300 ms a stream starts with.
constexpr double musicRefillMs = 50.0;

// The contour is outlineWidth pixels in a picture this high, the 1280x720 demo's; the page scales
// it with the picture, so it looks the same at every size and pixel density.
constexpr double contourPictureHeight = 720.0;

struct WebPlayer {
    Demo demo;
    ShowStart start;
    MusicFollow follow;
    double lengthMs = 0.0;
    bool running = false;  // frames run, from the click to the end screen
    bool hidden = false;   // the page is hidden
    bool waitingForTextures = false;
    bool graphicsLost = false;
    // The context is back and its GL objects are to be made again, in the next frame: a while on
    // the main thread, in which the music would run dry, so it waits paused.
    bool graphicsRestoring = false;
    // The sound stopped on its own while the page was visible (the page's AudioContext left its
    // running state): the show holds with the music until the page has it running again.
    bool soundStopped = false;
    long musicRefill = 0;  // the interval that tops the music's queue up between frames
};

// The browser calls into the program after its entry has returned (the click, each frame), so the
// show lives here for the page's lifetime.
WebPlayer player;

double showMsNow()
{
    const MusicFollow::Phase phase = player.follow.phase;
    if (phase == MusicFollow::Phase::paused || phase == MusicFollow::Phase::waiting) {
        return player.follow.heldMs;
    }
    return player.demo.show->showTimeAt(tickCount());
}

// Paused while the page is hidden or the frames wait for textures; on again when neither holds.
void updatePause()
{
    if (!player.running) {
        return;
    }
    Demo& demo = player.demo;
    const bool pause =
        player.hidden || player.waitingForTextures || player.graphicsRestoring || player.soundStopped;
    const bool paused = player.follow.phase == MusicFollow::Phase::paused;
    if (pause && !paused) {
        pauseMusicFollow(player.follow, demo.show->music, showMsNow());
    } else if (!pause && paused) {
        resumeMusicFollow(player.follow, demo.show->music, demo.show->timeline);
        // The pause is no time step for the light, the stone or the free camera.
        demo.prevTime = secondsNow();
        resetCameraClock();
    }
}

void refillMusic(void* /*unused*/)
{
    updateMusic(player.demo.show->music);
}

// The frames and the music stop together.
void stopShow()
{
    emscripten_cancel_main_loop();
    if (!player.running) {
        return;
    }
    emscripten_clear_interval(player.musicRefill);
    player.running = false;
    Music& music = player.demo.show->music;
    if (music.musicPlaying && music.channel != nullptr) {
        soundChannelSetPaused(music.channel, true);
    }
}

void quitShow()
{
    stopShow();
    pageEnded();
}

void noticeSilence()
{
    switch (pageAudioState()) {
    case PageAudio::blocked:
        pageNotice("The browser keeps this page from playing sound: allow sound for this site (or click the page) "
                   "and play again to hear the music. The show plays on silently.");
        break;
    case PageAudio::interrupted:
        pageNotice("The system holds the sound (a call, or another app that plays): the show plays on silently. "
                   "Play it again once the sound is free to hear the music.");
        break;
    case PageAudio::none:
        pageNotice("The sound did not start: there seems to be no audio device. The show plays on silently.");
        break;
    }
}

// While the picture holds (textures on their way, a lost context), the keys are still read as the
// show reads them after a frame: a style key that needs no texture ends the wait, and Escape the
// show. Returns false once Escape is down.
bool readKeysWhileHeld()
{
    Demo& demo = player.demo;
    demo.show->afterSwap(*demo.scene, demo.window);
    return glfwGetKey(demo.window, GLFW_KEY_ESCAPE) != GLFW_PRESS;
}

void frame()
{
    Demo& demo = player.demo;
    Scene& scene = *demo.scene;
    if (followMusic(player.follow, demo.show->music, demo.show->timeline)) {
        noticeSilence();
    }
    if (showMsNow() >= player.lengthMs) {
        quitShow();
        return;
    }
    if (player.graphicsRestoring) {
        rebuildGraphics(demo.window, scene, player.start);
        player.graphicsLost = player.graphicsRestoring = false;
        updatePause();
        return;
    }
    if (!player.graphicsLost) {
        const bool texturesIn = sceneTexturesArrived(scene);
        if (texturesIn == player.waitingForTextures) {
            player.waitingForTextures = !texturesIn;
            pageWaitingForTextures(player.waitingForTextures);
            updatePause();
        }
    }
    // A lost context: the show goes on with the music, and the picture comes back with the
    // context. Waiting for textures: the last frame stays on the canvas.
    if (player.graphicsLost || player.waitingForTextures) {
        if (!readKeysWhileHeld()) {
            quitShow();
        }
        return;
    }
    Renderer& renderer = scene.renderer;
    pageDrawingBufferSize(renderer.viewportWidth, renderer.viewportHeight);
    renderer.outlineStrokeWidth =
        static_cast<float>(outlineWidth * renderer.viewportHeight / contourPictureHeight);
    if (!runDemoFrame(demo)) {
        quitShow();
    }
}

// What the demo only prints and runs on without: a program that did not build (its objects
// vanish) and music that did not open (the show is silent). The viewer is told on the page too.
void noticeWhatIsMissing(const Scene& scene, const Music& music)
{
    for (const RendererProgram& entry : rendererPrograms) {
        GLint linked = GL_FALSE;
        glGetProgramiv(scene.renderer.*entry.program, GL_LINK_STATUS, &linked);
        if (linked != GL_TRUE) {
            pageNotice(std::string("The shader program ") + entry.name +
                       " did not build (its log is in the browser's console): the show plays without it.");
        }
    }
    if (music.stream == nullptr) {
        pageNotice("The music could not be opened (the reason is in the browser's console): the show plays "
                   "silently.");
    }
}

// The music has just started from the show's start: the frames begin.
void beginFrames()
{
    Demo& demo = player.demo;
    // A show that ended while it held (Escape during a wait) left the output paused.
    soundSystemSetOutputPaused(demo.show->music.system, false);
    player.soundStopped = false;
    player.follow = MusicFollow();
    followMusicFrom(player.follow, demo.show->music, demo.show->timeline, 0.0);
    player.running = true;
    player.waitingForTextures = false;
    updatePause();
    player.musicRefill = emscripten_set_interval(refillMusic, musicRefillMs, nullptr);
    emscripten_set_main_loop(frame, 0, false);
}

}  // namespace

int openWebPlayer(int width, int height)
{
    // The canvas is the window; the page makes it fill the browser's, or the screen.
    Demo& demo = player.demo;
    switch (startDemo(demo, width, height, false)) {
    case DemoStartup::ready: break;
    case DemoStartup::noGlfw:
        pageFailed("The show could not start its window system.");
        return startupExitStatus(DemoStartup::noGlfw);
    case DemoStartup::noWindow:
        pageFailed("This browser cannot show the demo: it needs WebGL 2, which is switched off or not "
                   "available here. Try a current Chrome, Edge, Firefox or Safari, with hardware "
                   "acceleration on.");
        return startupExitStatus(DemoStartup::noWindow);
    case DemoStartup::noScene: pageFailed(demo.scene->loadFailure); return startupExitStatus(DemoStartup::noScene);
    }
    player.start = recordShowStart(*demo.scene);
    player.lengthMs = showLengthMs(demo.show->music);
    noticeWhatIsMissing(*demo.scene, demo.show->music);
    pageReadyToStart();
    return 0;
}

void lumarq_start()
{
    if (player.demo.scene == nullptr || player.running) {
        return;
    }
    beginShow(player.demo);
    beginFrames();
}

void lumarq_play_again()
{
    Demo& demo = player.demo;
    if (demo.scene == nullptr || player.running) {
        return;
    }
    rewindShow(*demo.scene, *demo.show, player.start);
    demo.prevTime = secondsNow();
    demo.show->play();
    beginFrames();
}

int lumarq_show_ms()
{
    // Now, not at the last frame's tick: what the show's clock reads at this very moment.
    return player.demo.show != nullptr && player.running ? static_cast<int>(showMsNow()) : 0;
}

int lumarq_style()
{
    return player.demo.scene != nullptr ? static_cast<int>(currentShowStyle(*player.demo.scene)) : -1;
}

void lumarq_set_hidden(int hidden)
{
    player.hidden = hidden != 0;
    updatePause();
}

void lumarq_seek(int showMs)
{
    if (!player.running) {
        return;
    }
    Demo& demo = player.demo;
    const double to = std::clamp(static_cast<double>(showMs), 0.0, player.lengthMs);
    seekShow(demo, player.start, to);
    Music& music = demo.show->music;
    if (music.musicPlaying && music.channel != nullptr) {
        soundChannelSetPosition(music.channel, static_cast<unsigned>(to));
    }
    followMusicFrom(player.follow, music, demo.show->timeline, to);
    updatePause();
}

int lumarq_free_camera()
{
    return player.demo.scene != nullptr && !player.demo.scene->renderer.autoCamera ? 1 : 0;
}

void lumarq_stop()
{
    emscripten_cancel_main_loop();  // a still's or a bench's frames too
    if (player.demo.scene != nullptr) {
        stopShow();
        soundSystemSetOutputPaused(player.demo.show->music.system, true);
    }
}

int lumarq_sound_stopped(int stopped)
{
    // Only sound that was heard can stop: while the clock has not moved since the music started
    // or went on, the output may still be starting, and the show gives up on it by itself.
    if (stopped != 0 && (!player.running || player.follow.phase != MusicFollow::Phase::following)) {
        return 0;
    }
    player.soundStopped = stopped != 0;
    updatePause();
    return player.soundStopped ? 1 : 0;
}

void lumarq_sound_started()
{
    Demo& demo = player.demo;
    Music& music = demo.show->music;
    if (!player.running || !player.follow.gaveUp || !music.musicPlaying || music.channel == nullptr) {
        return;
    }
    // The show went on silently; the music joins it where it is now.
    const double at = showMsNow();
    soundChannelSetPosition(music.channel, static_cast<unsigned>(at));
    soundChannelSetPaused(music.channel, false);
    player.follow.gaveUp = false;
    followMusicFrom(player.follow, music, demo.show->timeline, at);
    updatePause();
}

void lumarq_graphics_lost()
{
    player.graphicsLost = true;
}

void lumarq_graphics_restored()
{
    if (player.demo.scene == nullptr) {
        return;
    }
    if (!player.running) {
        rebuildGraphics(player.demo.window, *player.demo.scene, player.start);  // no music to keep in step
        player.graphicsLost = false;
        return;
    }
    player.graphicsRestoring = true;
    updatePause();
}
