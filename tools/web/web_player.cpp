// The demo's start-up and frame loop, with the browser calling each frame and the page's click
// starting the show.
#include "web_player.h"

#include "app/frame_step.h"
#include "app/scene.h"
#include "app/show_control.h"
#include "app/window.h"
#include "gl/gl_entry_points.h"
#include "music_follow.h"
#include "page.h"
#include "platform/clock.h"
#include "show_start.h"
#include "show_style.h"
#include "sound/sound_channel.h"

#include <GLFW/glfw3.h>
#include <emscripten/emscripten.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

struct WebPlayer {
    std::unique_ptr<ShowControl> show;
    std::unique_ptr<Scene> scene;
    GLFWwindow* window = nullptr;
    double prevTime = 0.0;
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
    Music& music = player.show->music;
    if (music.musicPlaying && music.channel != nullptr) {
        soundChannelSetPaused(music.channel, true);
    }
    pageEnded();
}

void frame()
{
    Scene& scene = *player.scene;
    ShowControl& show = *player.show;
    // The page keeps the canvas at the window's size in device pixels; the projection follows.
    pageCanvasSize(scene.renderer.viewportWidth, scene.renderer.viewportHeight);
    followMusic(player.musicFollow, show.music, show.timeline);
    advanceFrame(show, scene, player.prevTime);
    scene.render();
    glfwSwapBuffers(player.window);
    show.afterSwap(scene, player.window);
    glfwPollEvents();
    if (glfwGetKey(player.window, GLFW_KEY_ESCAPE) == GLFW_PRESS) {
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
    player.running = true;
    emscripten_set_main_loop(frame, 0, false);
}

}  // namespace

int openWebPlayer(int width, int height)
{
    player.show = std::make_unique<ShowControl>();
    player.show->prepare();

    glErrorCheckpoint("INIT");
    if (!glfwInit()) {
        fprintf(stderr, "Failed to initialize GLFW\n");
        pageFailed("The show could not start its window system.");
        return -1;
    }
    glErrorCheckpoint("END GLFWINIT");

    // The canvas is the window; the page makes it fill the browser's, or the screen.
    player.window = openDemoWindow(width, height, nullptr);
    if (player.window == nullptr) {
        glfwTerminate();
        pageFailed("This browser cannot show the demo: it needs WebGL 2, which is switched off or not "
                   "available here. Try a current Chrome, Edge, Firefox or Safari, with hardware "
                   "acceleration on.");
        return -1;
    }
    prepareContext(player.window);
    glErrorCheckpoint("END GLFW SETUP");

    player.scene = std::make_unique<Scene>();
    if (!player.scene->load(player.window)) {
        fprintf(stderr, "%s\n", player.scene->loadFailure.c_str());
        player.scene->release();
        glfwTerminate();
        pageFailed(player.scene->loadFailure);
        return 1;
    }
    player.start = recordShowStart(*player.scene);
    noticeWhatIsMissing(*player.scene, player.show->music);
    pageReadyToStart();
    return 0;
}

void lumarq_start()
{
    if (player.scene == nullptr || player.running) {
        return;
    }
    player.prevTime = secondsNow();
    player.show->start(*player.scene);
    startFollowingMusic(player.musicFollow, player.show->music);
    beginFrames();
}

void lumarq_play_again()
{
    if (player.scene == nullptr || player.running) {
        return;
    }
    rewindShow(*player.scene, *player.show, player.start);
    // The Escape that ended the last run is still stuck (sticky keys) until read: read it here, or
    // it would end this run at its first frame.
    glfwGetKey(player.window, GLFW_KEY_ESCAPE);
    player.prevTime = secondsNow();
    startMusic(player.show->music);
    player.show->timeline.startTick = tickCount();
    startFollowingMusic(player.musicFollow, player.show->music);
    beginFrames();
}

int lumarq_show_ms()
{
    if (player.show == nullptr) {
        return 0;
    }
    // Now, not at the last frame's tick: what the show's clock reads at this very moment.
    return static_cast<int32_t>(static_cast<uint32_t>(tickCount()) -
                                static_cast<uint32_t>(player.show->timeline.startTick));
}

int lumarq_style()
{
    return player.scene != nullptr ? static_cast<int>(currentShowStyle(*player.scene)) : -1;
}
