// The window title through which the preview tells what the show is doing: show time, camera
// segment, style, loop marks, paused, frame rate.
#pragma once
#include <string>

struct Scene;
struct Transport;

// The camera segment (1 to 10) whose window contains the show time, or 0 between segments.
int cameraSegmentAt(double showMs);

// For example "Lumarq preview | 48213 ms | segment 5 | bump | loop 40000-45000 ms | 59.8 fps".
std::string previewTitle(const Transport& transport, const Scene& scene, double framesPerSecond);
