// The demo's own start-up, frames and shutdown (app/demo.h) in the page: the browser calls each
// frame, and the page's click starts the show.
#include "web_player.h"

#include "app/demo.h"
#include "app/scene.h"
#include "app/show_control.h"
#include "music_follow.h"
#include "page.h"
#include "platform/clock.h"
#include "show_start.h"
#include "show_style.h"
#include "sound/sound_channel.h"

#include <GLFW/glfw3.h>
#include <emscripten/emscripten.h>

#include <string>

namespace {

struct WebPlayer {
    Demo demo;
    ShowStart start;
    MusicFollow musicFollow;
    bool running = false;
};

// The browser calls into the program after its entry has returned (the click, each frame), so the
// show lives here for the page's lifetime.
WebPlayer player;

void quitShow()
{
    emscripten_cancel_main_loop();
    player.running = false;
    Music& music = player.demo.show->music;
    if (music.musicPlaying && music.channel != nullptr) {
        soundChannelSetPaused(music.channel, true);
    }
    pageEnded();
}

void frame()
{
    Demo& demo = player.demo;
    // The page keeps the canvas at the window's size in device pixels; the projection follows.
    pageCanvasSize(demo.scene->renderer.viewportWidth, demo.scene->renderer.viewportHeight);
    followMusic(player.musicFollow, demo.show->music, demo.show->timeline);
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

void beginFrames()
{
    startFollowingMusic(player.musicFollow, player.demo.show->music);
    player.running = true;
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
    // The Escape that ended the last run is still stuck (sticky keys) until read: read it here, or
    // it would end this run at its first frame.
    glfwGetKey(demo.window, GLFW_KEY_ESCAPE);
    demo.prevTime = secondsNow();
    demo.show->play();
    beginFrames();
}

int lumarq_show_ms()
{
    // Now, not at the last frame's tick: what the show's clock reads at this very moment.
    return player.demo.show != nullptr ? player.demo.show->showTimeAt(tickCount()) : 0;
}

int lumarq_style()
{
    return player.demo.scene != nullptr ? static_cast<int>(currentShowStyle(*player.demo.scene)) : -1;
}
