// The show script's tables and the two functions that hand them to the timeline and the scene.
#include "app/show_script.h"

#include "app/scene.h"
#include "camera/timeline.h"

const CameraPose showPoses[showPoseCount] = {
    {-0.638742f, 1.52268f, -1.87331f, 4.79001f, 0.00500237f},
    {3.61215f, 1.50135f, -2.20395f, 4.79001f, 0.00500237f},
    {2.7529f, 1.50135f, -13.1384f, 4.79001f, 0.00500237f},
    {3.65873f, 1.40029f, 11.0473f, 4.64f, -0.0899976f},
    diveTop,
    diveBottom,
    {1.08461f, 1.8634f, 2.84152f, 5.91001f, -0.00499725f},
    {2.11774f, 1.92167f, -9.27166f, 5.91001f, -0.00499725f},
    {0.0326127f, 5.09731f, -6.90864f, 6.30002f, -0.249999f},
    {-2.0052826f, 5.44899f, -4.168555f, 7.882635f, -0.2824985f},
    {-0.0879303f, 4.80067f, -1.42847f, 9.46507f, -0.114998f},
    {3.42998f, 3.48672f, -0.211209f, 10.9551f, -0.204998f},
    {7.91417f, 2.96649f, -1.07633f, 11.0001f, -0.0149982f},
};

// Segments 3 and 5 start away from where the one before ended: cuts.
// clang-format off
const ShowSegment showSegments[showSegmentCount] = {
    {1, 10191, 0, 1},
    {15800, 19947, 1, 2},
    {21038, 29222, 3, 4},
    {35028, 39196, 4, 5},
    {40767, 53796, 6, 7},
    {53796, 58794, 7, 8},
    {58794, 63683, 8, 9},
    {63683, 68571, 9, 10},
    {68571, 73373, 10, 11},
    {73373, 82059, 11, 12},
};
// clang-format on

namespace {

constexpr ShowJump singleJumps[] = {
    {10519, StageObject::mario},
    {29375, StageObject::luigi},
    {48428, StageObject::goomba1},
    {48428, StageObject::goomba2},
};

// The closing series: each round the four characters hop 100 ms apart, and every character
// hops again 400 ms after its last hop, for 28 rounds.
constexpr int seriesRounds = 28;
constexpr double seriesRoundMs = 400.0;
constexpr StageObject seriesObjects[] = {StageObject::mario, StageObject::luigi, StageObject::goomba1,
                                         StageObject::goomba2};
constexpr double seriesFirstMs[] = {73473.329, 73573.329, 73673.329, 73773.329};

constexpr int singleJumpCount = sizeof(singleJumps) / sizeof(singleJumps[0]);
constexpr int seriesPerRound = sizeof(seriesObjects) / sizeof(seriesObjects[0]);
static_assert(singleJumpCount + seriesRounds * seriesPerRound == showJumpCount,
              "the jump table size must match the script");

constexpr std::array<ShowJump, showJumpCount> buildJumps()
{
    std::array<ShowJump, showJumpCount> jumps{};
    int n = 0;
    for (const ShowJump& jump : singleJumps) {
        jumps[n++] = jump;
    }
    for (int k = 0; k < seriesRounds; ++k) {
        for (int j = 0; j < seriesPerRound; ++j) {
            jumps[n++] = {static_cast<int>(seriesFirstMs[j] + seriesRoundMs * k), seriesObjects[j]};
        }
    }
    return jumps;
}

}  // namespace

const std::array<ShowJump, showJumpCount> showJumps = buildJumps();

// Only the objects loaded with tangent data are ever given a bump flag or the bump-mapping program;
// the bump style leaves the others on whatever they had.
const ShadingStyle toonStyle = {StyleProgram::toon, StyleProgram::toon, false, false};
const ShadingStyle shadowStyle = {StyleProgram::shadowMapping, StyleProgram::shadowMapping, false, true};
const ShadingStyle bumpStyle = {StyleProgram::keep, StyleProgram::bumpMapping, true, true};

void addShowSegments(Timeline& timeline)
{
    for (const ShowSegment& segment : showSegments) {
        timeline.addCameraSegment(segment.startMs, segment.endMs, showPoses[segment.from], showPoses[segment.to]);
    }
}

void addShowJumps(Timeline& timeline, Scene& scene)
{
    for (const ShowJump& jump : showJumps) {
        timeline.addJump(jump.timeMs, &scene.object(jump.object));
    }
}

void applyStyle(Scene& scene, const ShadingStyle& style)
{
    const Renderer& renderer = scene.renderer;
    for (int i = 0; i < stageObjectCount; ++i) {
        SceneObject& object = scene.objects[i];
        const bool bumpMappable = stageEntries[i].loadsBumpMap;
        switch (bumpMappable ? style.bumpMappable : style.everyObject) {
        case StyleProgram::keep: break;
        case StyleProgram::toon: object.program = renderer.toonProgram; break;
        case StyleProgram::shadowMapping: object.program = renderer.shadowMappingProgram; break;
        case StyleProgram::bumpMapping: object.program = renderer.bumpMappingProgram; break;
        }
        if (bumpMappable) {
            object.useBumpMap = style.bumpMapsOn;
        }
    }
    scene.renderer.shadowsEnabled = style.shadowsEnabled;
}
