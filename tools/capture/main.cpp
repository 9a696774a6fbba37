// lumarq-capture: renders the running show without a display — stills at show times, a contact
// sheet of the camera path, stills from the script's camera poses, or a video with the music.
#include "app/scene.h"
#include "app/show_script.h"
#include "camera/camera.h"
#include "capture_frame.h"
#include "capture_options.h"
#include "encoder_pipe.h"
#include "image.h"
#include "tool_session.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

const char* const musicFile = "mp3/zarathustra2.mp3";

// The folder and any missing parents; false when it cannot be made or is not a folder.
bool makeDirectory(const std::string& path)
{
    std::error_code error;
    std::filesystem::create_directories(path, error);
    return std::filesystem::is_directory(path, error);
}

// Runs the show from time 0 at the frame rate and hands a picture to `take` at each target time
// (sorted). Frames between targets advance the show without drawing.
template <typename Take>
void runToTargets(ToolSession& session, int fps, const std::vector<double>& targets, Take take)
{
    Image image;
    for (size_t next = 0; next < targets.size();) {
        const double taken = targets[next];
        stepToolSessionTo(session, taken, 1000.0 / fps);
        captureFrame(session, taken, image);
        // Further targets at the same time share the picture.
        for (; next < targets.size() && targets[next] == taken; ++next) {
            take(next, image);
        }
    }
}

int captureStills(ToolSession& session, const CaptureOptions& options)
{
    if (!makeDirectory(options.outDir)) {
        fprintf(stderr, "lumarq-capture: cannot create %s\n", options.outDir.c_str());
        return 1;
    }
    std::vector<double> targets(options.atMs.begin(), options.atMs.end());
    int failures = 0;
    runToTargets(session, options.fps, targets, [&](size_t i, const Image& image) {
        const std::string path = options.outDir + "/frame-" + std::to_string(options.atMs[i]) + ".png";
        if (!writePng(path, image)) {
            fprintf(stderr, "lumarq-capture: cannot write %s\n", path.c_str());
            ++failures;
        }
    });
    return failures == 0 ? 0 : 1;
}

int captureSheet(ToolSession& session, const CaptureOptions& options)
{
    // Start, middle and end of every camera segment, inside its open window.
    std::vector<double> targets;
    std::vector<std::string> labels;
    const char* phase[3] = {"START", "MID", "END"};
    for (int s = 0; s < showSegmentCount; ++s) {
        const ShowSegment& segment = showSegments[s];
        const int times[3] = {segment.startMs + 1, (segment.startMs + segment.endMs) / 2, segment.endMs - 1};
        for (int p = 0; p < 3; ++p) {
            targets.push_back(times[p]);
            labels.push_back("S" + std::to_string(s + 1) + " " + phase[p] + " " + std::to_string(times[p]) + "MS");
        }
    }
    const int factor = std::max(1, options.width / 320);
    const int thumbWidth = options.width / factor;
    const int thumbHeight = options.height / factor;
    constexpr int margin = 8;
    constexpr int labelHeight = 20;
    Image sheet;
    sheet.width = margin + 3 * (thumbWidth + margin);
    sheet.height = margin + showSegmentCount * (labelHeight + thumbHeight + margin);
    sheet.rgb.assign(static_cast<size_t>(sheet.width) * sheet.height * 3, 32);

    runToTargets(session, options.fps, targets, [&](size_t i, const Image& image) {
        const int column = static_cast<int>(i % 3);
        const int row = static_cast<int>(i / 3);
        const int x = margin + column * (thumbWidth + margin);
        const int y = margin + row * (labelHeight + thumbHeight + margin);
        drawText(sheet, x, y + 3, labels[i], 2, 240, 240, 240);
        blit(sheet, downscale(image, factor), x, y + labelHeight);
    });
    if (!writePng(options.outFile, sheet)) {
        fprintf(stderr, "lumarq-capture: cannot write %s\n", options.outFile.c_str());
        return 1;
    }
    return 0;
}

void setCameraPose(const CameraPose& pose)
{
    cameraPosition = glm::vec3(pose.x, pose.y, pose.z);
    cameraYaw = pose.yaw;
    cameraPitch = pose.pitch;
}

int capturePoses(ToolSession& session, const CaptureOptions& options)
{
    if (!makeDirectory(options.outDir)) {
        fprintf(stderr, "lumarq-capture: cannot create %s\n", options.outDir.c_str());
        return 1;
    }
    applyShowStyle(*session.scene, options.style);
    Image image;
    int failures = 0;
    auto shoot = [&](const CameraPose& pose, const std::string& name) {
        setCameraPose(pose);
        captureFrame(session, 0.0, image);
        const std::string path = options.outDir + "/" + name + ".png";
        if (!writePng(path, image)) {
            fprintf(stderr, "lumarq-capture: cannot write %s\n", path.c_str());
            ++failures;
        }
    };
    for (int p = 0; p < showPoseCount; ++p) {
        shoot(showPoses[p], "pose-P" + std::to_string(p));
    }
    for (int s = 0; s < showSegmentCount; ++s) {
        const CameraPose& a = showPoses[showSegments[s].from];
        const CameraPose& b = showPoses[showSegments[s].to];
        const CameraPose mid = {(a.x + b.x) * 0.5f, (a.y + b.y) * 0.5f, (a.z + b.z) * 0.5f, (a.yaw + b.yaw) * 0.5f,
                                (a.pitch + b.pitch) * 0.5f};
        shoot(mid, "segment-" + std::to_string(s + 1) + "-mid");
    }
    return failures == 0 ? 0 : 1;
}

int captureVideo(ToolSession& session, const CaptureOptions& options)
{
    const std::string command = "ffmpeg -hide_banner -loglevel error -y -f rawvideo -pix_fmt rgb24 -s " +
                                std::to_string(options.width) + "x" + std::to_string(options.height) +
                                " -framerate " + std::to_string(options.fps) + " -i - -i '" + musicFile +
                                "' -map 0:v -map 1:a? -c:v libx264 -preset veryfast -crf 20 -pix_fmt yuv420p"
                                " -c:a aac -b:a 192k -shortest '" +
                                options.outFile + "'";
    std::string error;
    FILE* encoder = openEncoderPipe(command, error);
    if (encoder == nullptr) {
        fprintf(stderr, "lumarq-capture: %s\n", error.c_str());
        return 1;
    }
    const long frames =
        static_cast<long>(std::floor(options.toMs * static_cast<double>(options.fps) / 1000.0)) + 1;
    Image image;
    bool written = true;
    for (long frame = 0; frame < frames && written; ++frame) {
        captureFrame(session, frame * 1000.0 / options.fps, image);
        written = fwrite(image.rgb.data(), 1, image.rgb.size(), encoder) == image.rgb.size();
        if (frame % 10 == 0 || frame + 1 == frames) {
            const int filled = static_cast<int>(40 * (frame + 1) / frames);
            fprintf(stderr, "\r[%s%s] %3ld%% frame %ld/%ld", std::string(filled, '#').c_str(),
                    std::string(40 - filled, '.').c_str(), 100 * (frame + 1) / frames, frame + 1, frames);
        }
    }
    fprintf(stderr, "\n");
    const bool encoded = closeEncoderPipe(encoder);
    if (!written || !encoded) {
        fprintf(stderr, "lumarq-capture: ffmpeg failed to encode %s\n", options.outFile.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    CaptureOptions options;
    std::string message;
    const CommandLineResult parsed = parseCaptureOptions(argc, argv, options, message);
    if (parsed != CommandLineResult::run) {
        return finishCommandLine("lumarq-capture", parsed, message);
    }
    ToolSessionSettings settings;
    settings.program = "lumarq-capture";
    settings.width = options.width;
    settings.height = options.height;
    settings.keys = options.keys;
    settings.quadContours = options.quadContours;
    ToolSession session;
    if (!openToolSession(session, settings)) {
        closeToolSession(session);
        return 1;
    }
    int status = 0;
    switch (options.mode) {
    case CaptureMode::stills: status = captureStills(session, options); break;
    case CaptureMode::sheet: status = captureSheet(session, options); break;
    case CaptureMode::poses: status = capturePoses(session, options); break;
    case CaptureMode::video: status = captureVideo(session, options); break;
    case CaptureMode::none: break;
    }
    closeToolSession(session);
    return status;
}
