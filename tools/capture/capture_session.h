// The running show under a virtual clock: the real window, Scene and ShowControl, advanced one
// frame at a time to exact show times, so every run renders the same pictures.
#pragma once
#include "app/scene.h"
#include "app/show_control.h"
#include "capture_options.h"
#include "image.h"

#include <cstdint>
#include <memory>
#include <vector>

struct GLFWwindow;

struct CaptureSession {
    std::unique_ptr<ShowControl> show;
    std::unique_ptr<Scene> scene;
    GLFWwindow* window = nullptr;
    double prevSeconds = 0.0;
    std::vector<KeyPress> keys;  // sorted by time; each is held for the first frame at or after it
    size_t nextKey = 0;
    std::vector<uint8_t> scratch;
};

// Opens a window of the options' size, loads the scene and starts the show at virtual time 0.
// Prints the reason and returns false when that fails.
bool openCaptureSession(CaptureSession& session, const CaptureOptions& options);

// Runs one frame of the demo's loop at show time `ms` (not before the previous frame). With
// `image` null nothing is drawn (the show's state still advances exactly as if it were).
void runFrame(CaptureSession& session, double ms, Image* image);

void closeCaptureSession(CaptureSession& session);
