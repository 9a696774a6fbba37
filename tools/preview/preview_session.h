// The preview: the demo's window, scene and show control under the virtual clock, with a
// transport that sets the show to any time by stepping it from its start, the music kept with
// the show, live shaders and a title that tells where the show is.
#pragma once
#include "image.h"
#include "preview_music.h"
#include "shader_watch.h"
#include "tool_session.h"
#include "transport.h"

struct PreviewOptions;

// What the keys ask for; queued by the key handler and carried out before the next frame.
enum class PreviewCommand {
    togglePause,
    frameForward,
    frameBack,
    forward1s,
    back1s,
    forward10s,
    back10s,
    toStart,
    markLoopStart,
    markLoopEnd,
    clearLoop,
};

struct PreviewSession {
    ToolSession show;  // window, scene and show control
    Transport transport;
    MusicClock musicClock;
    ShaderWatch shaders;
    PreviewCommand queued[32];
    int queuedCount = 0;
    double nextShaderLookMs = 0.0;  // wall clock
    double titleSinceMs = 0.0;
    int titleFrames = 0;
    double lastSeekMs = 0.0;  // how long the latest seek took to step the show, wall clock
};

// Opens the window, loads the scene, starts the show and sets it to options.fromMs, playing.
// Prints the reason and returns false when the window or the scene cannot be had.
bool openPreviewSession(PreviewSession& session, const PreviewOptions& options);

// One frame of the preview: carries out the queued commands, follows the window's size, shows the
// frame at the transport's time, and then rebuilds changed shaders for the frames after it. With
// `image` set, the frame is also read back into it.
void previewFrame(PreviewSession& session, Image* image = nullptr);

// True once Escape is pressed or the window is closed.
bool previewFinished(const PreviewSession& session);

void closePreviewSession(PreviewSession& session);

// Transport operations, also reachable from the keys. Seeking sets the show back to its start
// and steps it at 60 frames a second to the new time, as the capture does; the music follows.
void seekPreview(PreviewSession& session, double showMs);
void pausePreview(PreviewSession& session);
void resumePreview(PreviewSession& session);
void runPreviewCommand(PreviewSession& session, PreviewCommand command);

// The preview's wall clock in milliseconds (real time, whatever the virtual clock says).
double previewWallMs();
