// The running show for the tools (capture, bench, preview): the demo's own window, Scene and
// ShowControl under the virtual clock, stepped one frame at a time to exact show times, so that
// every run sees the same frames. Key presses scripted at show times stand in for the keyboard.
#pragma once
#include "app/load_timings.h"
#include "app/scene.h"
#include "app/show_control.h"
#include "app/window.h"
#include "frame_grid.h"
#include "show_start.h"

#include <cstddef>
#include <memory>
#include <vector>

struct GLFWwindow;

// A show key, '0' to '3', held down for the first frame at or after `timeMs`.
struct KeyPress {
    int timeMs = 0;
    char key = 0;
};

struct ToolSessionSettings {
    const char* program = "lumarq-tool";  // window title and prefix of every error line
    int width = 1280;
    int height = 720;
    std::vector<KeyPress> keys;  // in any order
    // Sound that nobody hears (a capture's video takes the music from its file): on Linux through
    // OpenAL Soft's null device, so the music is still decoded and streamed as in the show; on
    // Windows and the web through the sound layer's no-sound output (muted_sound_*.cpp, as the
    // platform's file in cmake/ picks). The preview plays it.
    bool muted = true;
    ToolWindowMode windowMode = ToolWindowMode::fixed;
    bool quadContours = false;  // the contour as quads even where wide lines can be drawn
};

// Seconds each step of opening took, for the bench's start-up table.
struct ToolSessionStartup {
    double showPrepare = 0.0;  // sound system and timeline
    double window = 0.0;       // GLFW, window, context, entry points
    double sceneLoad = 0.0;    // the whole Scene::load
    LoadTimings load;          // its parts: shader programs, each model, the textures
    double showStart = 0.0;    // hops registered, music started
};

struct ToolSession {
    std::unique_ptr<ShowControl> show;
    std::unique_ptr<Scene> scene;
    GLFWwindow* window = nullptr;
    double prevSeconds = 0.0;    // the seconds clock after the last frame's step
    std::vector<KeyPress> keys;  // sorted by time
    size_t nextKey = 0;
    ShowStart start;     // the show as it was opened, to rewind to
    long nextFrame = 0;  // the first frame of the grid that stepToolSessionTo has not run
};

// Opens the window at the settings' size, loads the scene and starts the show at virtual time 0,
// timing each step into `startup` when it is given. Prints the reason and returns false when that
// fails; close the session either way.
bool openToolSession(ToolSession& session, const ToolSessionSettings& settings,
                     ToolSessionStartup* startup = nullptr);

// The part of a frame before drawing (sound, motion, show) at show time `ms`, which must not lie
// before the previous frame's.
void beginToolFrame(ToolSession& session, double ms);
// The part after drawing and the swap: the scripted presses due by now, the keyboard as the demo
// reads it, the timed style switches, then the window's events.
void endToolFrame(ToolSession& session);
// A whole frame at show time `ms`: with `draw`, the scene's three passes and a swap; without, the
// show and the camera still advance exactly as if it were drawn.
void runToolFrame(ToolSession& session, double ms, bool draw);

// Runs, drawing nothing, the frames of the grid of `frameMs` that lie before `showMs` and have not
// run yet: the caller's next frame, at `showMs`, then sees the show as every run sees it there.
// The next step goes on from the first frame of the grid after `showMs`.
void stepToolSessionTo(ToolSession& session, double showMs, double frameMs = toolFrameMs);
// Back to the show's start as it was opened: the scene, the camera, time 0, no key pressed yet.
void rewindToolSession(ToolSession& session);

void closeToolSession(ToolSession& session);
