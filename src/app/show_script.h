// The show's fixed script as data: camera keyframes and segments, the hops, the three shading
// styles, the timed style switches and the keys that trigger them.
#pragma once
#include "app/stage.h"
#include "camera/camera.h"

#include <array>
#include <cstdint>

struct Scene;
struct Timeline;

// The camera's dive under the island's +x rim, the fourth segment: from the rim's top down past its
// underside, where the camera rests until the next cut. The model generator keeps the scenery
// clear of this line.
constexpr CameraPose diveTop = {4.48482f, 1.40029f, -0.472208f, 4.64f, -0.0899976f};
constexpr CameraPose diveBottom = {1.90016f, -2.45395f, -0.485646f, 4.695f, -1.03f};

constexpr int showPoseCount = 13;
extern const CameraPose showPoses[showPoseCount];

// A camera segment between two of the poses above, indices into showPoses.
struct ShowSegment {
    int startMs;
    int endMs;
    int from;
    int to;
};
constexpr int showSegmentCount = 10;
extern const ShowSegment showSegments[showSegmentCount];

struct ShowJump {
    int timeMs;
    StageObject object;
};
constexpr int showJumpCount = 116;
extern const std::array<ShowJump, showJumpCount> showJumps;

// A style gives every object one program, and the objects loaded with a bump map (the only ones
// that can be bump-mapped) a program and bump flag of their own; `keep` leaves what they have.
enum class StyleProgram : uint8_t { keep, toon, shadowMapping, bumpMapping };
struct ShadingStyle {
    StyleProgram everyObject;
    StyleProgram bumpMappable;
    bool bumpMapsOn;
    bool shadowsEnabled;
};
extern const ShadingStyle toonStyle;
extern const ShadingStyle shadowStyle;
extern const ShadingStyle bumpStyle;

// Show times (ms) at which the shadow and bump styles switch on by themselves.
constexpr double shadowSwitchTimeMs = 29222.751;
constexpr double bumpSwitchTimeMs = 48428.143;

// Key codes: the digit keys '1', '2', '3' pick a style, '0' toggles the scripted camera.
constexpr int toonStyleKey = 49;
constexpr int shadowStyleKey = 50;
constexpr int bumpStyleKey = 51;
constexpr int autoCameraKey = 48;

// The ten camera segments, in script order.
void addShowSegments(Timeline& timeline);
// The 116 hops, in script order, each from where its object stands now.
void addShowJumps(Timeline& timeline, Scene& scene);
// Writes the style's programs and bump flags to the objects and sets shadowsEnabled.
void applyStyle(Scene& scene, const ShadingStyle& style);
