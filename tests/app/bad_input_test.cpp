// The demo program against broken run folders and hostile environments: every case runs the real
// 1280x720 build on its own copy of the run folder under its own X server, and must print what went
// wrong, end with the documented status, and never crash or hang.
#include "app/stage.h"
#include "platform/asset_path.h"
#include "sound/sound_result.h"
#include "support/process.h"

#include <gtest/gtest.h>
#include <lodepng.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string demoName = "lumarq-1280x720";

// A private copy of the run folder, removed when the case is done.
struct RunCopy {
    std::string dir;
    RunCopy() : dir(makeTempDir("lumarq-bad-input"))
    {
        copied = copyTree(LUMARQ_RUN_DIR, dir);
    }
    ~RunCopy()
    {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    RunCopy(const RunCopy&) = delete;
    RunCopy& operator=(const RunCopy&) = delete;
    std::string path(const std::string& relative) const
    {
        return dir + "/" + relative;
    }
    bool copied = false;
};

// Starts the demo in the copy under its own X server, waits until its frame loop runs (or it has
// ended), presses Escape and collects the outcome. The environment goes through env(1), so that
// several cases can be started from parallel threads.
ProcessResult runDemo(const RunCopy& copy, const std::vector<std::string>& env = {}, bool withDisplay = true)
{
    std::vector<std::string> argv = {"/usr/bin/env"};
    bool audioChosen = false;
    for (const std::string& pair : env) {
        argv.push_back(pair);
        audioChosen = audioChosen || pair.rfind("ALSOFT_DRIVERS=", 0) == 0;
    }
    if (!audioChosen) {
        argv.push_back("ALSOFT_DRIVERS=null");
    }
    ProcessOptions options;
    options.workingDirectory = copy.dir;
    options.timeoutSeconds = 120;
    if (!withDisplay) {
        argv.insert(argv.begin() + 1, {"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY"});
        argv.push_back(copy.path(demoName));
        return runProcess(argv, options);
    }
    const std::vector<std::string> command = untilEscape({copy.path(demoName)});
    argv.insert(argv.end(), command.begin(), command.end());
    return runProcess(argv, options);
}

// Runs the demo in each prepared copy, two at a time (the machine has two cores and each demo
// renders). The copies are all made before the first start: a file being written while another
// thread forks would stay open for writing in that child, and executing it would fail.
std::vector<ProcessResult> runAll(const std::vector<const RunCopy*>& copies,
                                  const std::vector<std::string>& env = {})
{
    std::vector<ProcessResult> results(copies.size());
    for (size_t first = 0; first < copies.size(); first += 2) {
        std::vector<std::future<ProcessResult>> running;
        for (size_t i = first; i < copies.size() && i < first + 2; ++i) {
            const RunCopy* copy = copies[i];
            running.push_back(std::async(std::launch::async, [copy, &env] { return runDemo(*copy, env); }));
        }
        for (size_t k = 0; k < running.size(); ++k) {
            results[first + k] = running[k].get();
        }
    }
    return results;
}

std::vector<const RunCopy*> pointers(const std::vector<std::unique_ptr<RunCopy>>& copies)
{
    std::vector<const RunCopy*> result;
    for (const auto& copy : copies) {
        result.push_back(copy.get());
    }
    return result;
}

std::string describe(const ProcessResult& result)
{
    return "status " + std::to_string(result.exitStatus) + ", signal " + std::to_string(result.signal) +
           (result.timedOut ? ", timed out" : "") + "\n--- stdout ---\n" + result.out + "--- stderr ---\n" +
           result.err;
}

// Ended by itself or by Escape, with a status: no signal, no hang.
void expectCleanEnd(const ProcessResult& result, int status)
{
    EXPECT_FALSE(result.timedOut) << describe(result);
    EXPECT_EQ(result.signal, 0) << describe(result);
    EXPECT_EQ(result.exitStatus, status) << describe(result);
    EXPECT_EQ(result.err.find("Sanitizer"), std::string::npos) << describe(result);
}

// The show got through its start-up with no GL error pending at any checkpoint.
void expectCleanStart(const ProcessResult& result)
{
    for (const char* line :
         {"END GLFW SETUP: 0\n", "END CREATE ENGINE: 0\n", "END LOAD OBJECTS: 0\n", "END MOVE OBJECTS: 0\n"}) {
        EXPECT_NE(result.out.find(line), std::string::npos) << line << describe(result);
    }
}

// The line printed right after the first line equal to `line`; empty when there is none.
std::string lineAfter(const std::string& text, const std::string& line)
{
    std::string::size_type at = 0;
    while (at < text.size()) {
        std::string::size_type end = text.find('\n', at);
        if (end == std::string::npos) {
            return "";
        }
        if (text.compare(at, end - at, line) == 0) {
            std::string::size_type next = text.find('\n', end + 1);
            return next == std::string::npos ? "" : text.substr(end + 1, next - end - 1);
        }
        at = end + 1;
    }
    return "";
}

std::string soundErrorLine(int code)
{
    return "FMOD error! (" + std::to_string(code) + ") " + soundErrorText(code) + "\n";
}

size_t countOf(const std::string& text, const std::string& what)
{
    size_t count = 0;
    for (std::string::size_type at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

// A valid PNG signature and IHDR (with its CRC) claiming width x height, and nothing after it.
std::string pngHeaderClaiming(unsigned width, unsigned height)
{
    const unsigned char pixel[4] = {1, 2, 3, 255};
    std::vector<unsigned char> png;
    lodepng::encode(png, pixel, 1, 1);
    std::vector<unsigned char> header(png.begin(), png.begin() + 33);  // signature + IHDR chunk
    for (int k = 0; k < 4; ++k) {
        header[16 + k] = static_cast<unsigned char>(width >> (24 - 8 * k));
        header[20 + k] = static_cast<unsigned char>(height >> (24 - 8 * k));
    }
    lodepng_chunk_generate_crc(header.data() + 8);
    return std::string(header.begin(), header.end());
}

// Every model file of the stage, once each, as host paths ("models/goomba.obj").
std::vector<std::string> stageModelFiles()
{
    std::vector<std::string> files;
    for (const StageEntry& entry : stageEntries) {
        const std::string path = hostPath(entry.modelPath);
        if (std::find(files.begin(), files.end(), path) == files.end()) {
            files.push_back(path);
        }
    }
    return files;
}

TEST(BadInput, EveryMissingModelFileIsNamedWithTheImportersReasonAndEndsWithStatusOne)
{
    const std::vector<std::string> modelFiles = stageModelFiles();
    ASSERT_EQ(modelFiles.size(), 8u);  // the goombas share one
    std::vector<std::unique_ptr<RunCopy>> copies;
    for (const std::string& file : modelFiles) {
        copies.push_back(std::make_unique<RunCopy>());
        ASSERT_TRUE(copies.back()->copied);
        ASSERT_TRUE(fs::remove(copies.back()->path(file)));
    }
    const std::vector<ProcessResult> results = runAll(pointers(copies));
    for (size_t i = 0; i < results.size(); ++i) {
        SCOPED_TRACE(modelFiles[i]);
        const ProcessResult& result = results[i];
        expectCleanEnd(result, 1);
        EXPECT_NE(result.err.find("Cannot read model file " + modelFiles[i] + ": "), std::string::npos)
            << describe(result);
        EXPECT_NE(result.out.find("END CREATE ENGINE: 0\n"), std::string::npos) << describe(result);
        EXPECT_EQ(result.out.find("END LOAD OBJECTS"), std::string::npos) << describe(result);
    }
}

TEST(BadInput, AnEmptyTruncatedOrGarbageModelFileOrAFolderInItsPlaceIsSurvived)
{
    RunCopy probe;
    ASSERT_TRUE(probe.copied);
    const std::string stone = readFile(probe.path("models/stone2.obj"));
    ASSERT_GT(stone.size(), 1000u);
    // Cut in the middle of a face line, so the last face names vertices that never come.
    const std::string::size_type cut = stone.find("\nf ", stone.size() / 2);
    ASSERT_NE(cut, std::string::npos);
    const std::string truncated = stone.substr(0, cut + 5);
    std::string garbage;
    for (unsigned i = 0, x = 12345; i < 4096; ++i) {
        x = x * 1103515245u + 12345u;
        garbage.push_back(static_cast<char>(x >> 16));
    }
    const std::string contents[] = {"", truncated, garbage};

    std::vector<std::unique_ptr<RunCopy>> copies;
    for (const std::string& content : contents) {
        copies.push_back(std::make_unique<RunCopy>());
        ASSERT_TRUE(copies.back()->copied);
        writeFile(copies.back()->path("models/stone2.obj"), content);
    }
    // A folder where the model should be: the importer would read it as a model without meshes.
    copies.push_back(std::make_unique<RunCopy>());
    ASSERT_TRUE(copies.back()->copied);
    ASSERT_TRUE(fs::remove(copies.back()->path("models/ground.obj")));
    ASSERT_TRUE(fs::create_directory(copies.back()->path("models/ground.obj")));
    const std::vector<ProcessResult> results = runAll(pointers(copies));

    {
        SCOPED_TRACE("empty");
        expectCleanEnd(results[0], 1);
        EXPECT_NE(results[0].err.find("Cannot read model file models/stone2.obj: "), std::string::npos)
            << describe(results[0]);
    }
    {
        // The importer reads a cut-off OBJ up to its last whole line and the show goes on.
        SCOPED_TRACE("truncated");
        expectCleanEnd(results[1], 0);
        expectCleanStart(results[1]);
    }
    {
        SCOPED_TRACE("garbage");
        expectCleanEnd(results[2], 1);
        EXPECT_NE(results[2].err.find("Cannot read model file models/stone2.obj: "), std::string::npos)
            << describe(results[2]);
    }
    {
        SCOPED_TRACE("folder");
        expectCleanEnd(results[3], 1);
        EXPECT_NE(
            results[3].err.find("Cannot read model file models/ground.obj: it is a folder, not a model file"),
            std::string::npos)
            << describe(results[3]);
        EXPECT_EQ(results[3].out.find("END LOAD OBJECTS"), std::string::npos) << describe(results[3]);
    }
}

// A texture line ahead of the first material made Assimp dereference a null material and the
// demo die of SIGSEGV; the library is now refused and the run ends like any unreadable model.
TEST(BadInput, AMaterialLibraryNamingATextureBeforeItsFirstMaterialIsRefused)
{
    RunCopy copy;
    ASSERT_TRUE(copy.copied);
    const std::string library = readFile(copy.path("models/goomba.mtl"));
    writeFile(copy.path("models/goomba.mtl"), "map_Kd models/goomba_diffuse.png\n" + library);

    const ProcessResult result = runDemo(copy);
    expectCleanEnd(result, 1);
    EXPECT_NE(result.err.find("Cannot read model file models/goomba.obj: material library models/goomba.mtl "
                              "names a texture (map_Kd) before its first newmtl"),
              std::string::npos)
        << describe(result);
}

// Five textures broken in five ways in one run; each shows its own decoder line right after the
// model loader names it, gets the placeholder, and the show runs to Escape.
TEST(BadInput, MissingEmptyTruncatedForeignAndOversizedTexturesAreReportedAndTheShowRunsOn)
{
    RunCopy copy;
    ASSERT_TRUE(copy.copied);
    const std::string luigi = readFile(copy.path("models/luigi_bl_mat_diffuse.png"));
    ASSERT_GT(luigi.size(), 100u);
    ASSERT_TRUE(fs::remove(copy.path("models/background_diffuse.png")));
    writeFile(copy.path("models/turm_gross_diffuse.png"), "");
    writeFile(copy.path("models/luigi_bl_mat_diffuse.png"), luigi.substr(0, luigi.size() / 2));
    writeFile(copy.path("models/goomba_diffuse.png"), "GIF89a: a picture, but certainly not a PNG one\n");
    writeFile(copy.path("models/stone2_normal.png"), pngHeaderClaiming(65535, 65535));

    const ProcessResult result = runDemo(copy);
    expectCleanEnd(result, 0);
    expectCleanStart(result);

    // A colour texture's decoder line follows the two path lines (colour, normal map) that the
    // model loader prints; a normal map's follows its "LOAD: " line.
    auto afterColour = [&](const std::string& model, bool hasNormalMap) {
        const std::string normalLine = hasNormalMap ? "models/" + model + "_normal.png" : "";
        const std::string colourLine = "models/" + model + "_diffuse.png";
        EXPECT_EQ(lineAfter(result.out, colourLine), normalLine) << describe(result);
        const std::string::size_type at = result.out.find(colourLine + "\n");
        return at == std::string::npos ? std::string() : lineAfter(result.out.substr(at), normalLine);
    };
    const std::string missing = "decoder error 48: empty input or file doesn't exist";
    EXPECT_EQ(afterColour("background", false), missing);
    EXPECT_EQ(afterColour("turm_gross", false), missing);
    const std::string truncated = afterColour("luigi_bl_mat", true);
    EXPECT_EQ(truncated.rfind("decoder error ", 0), 0u) << truncated;
    EXPECT_EQ(truncated.find("decoder error 48:"), std::string::npos) << truncated;
    EXPECT_EQ(afterColour("goomba", false).rfind("decoder error 28: ", 0), 0u) << describe(result);
    // Both goombas read the same file: two lines.
    EXPECT_EQ(countOf(result.out, "decoder error 28: "), 2u) << describe(result);
    const std::string oversized = lineAfter(result.out, "LOAD: models/stone2_normal.png");
    EXPECT_EQ(oversized.rfind("decoder error 92: ", 0), 0u) << oversized;
    EXPECT_NE(oversized.find("65535 x 65535"), std::string::npos) << oversized;
    // Nothing else went wrong.
    EXPECT_EQ(countOf(result.out, "decoder error"), 6u) << describe(result);
}

TEST(BadInput, AMissingShaderAndAShaderWithASyntaxErrorPrintTheirLogsAndTheShowRunsOn)
{
    RunCopy copy;
    ASSERT_TRUE(copy.copied);
    ASSERT_TRUE(fs::remove(copy.path("shader/Wireframe.fragmentshader")));
    const std::string toon = readFile(copy.path("shader/Toon.vertexshader"));
    const std::string::size_type mainAt = toon.find("void main");
    ASSERT_NE(mainAt, std::string::npos);
    writeFile(copy.path("shader/Toon.vertexshader"),
              toon.substr(0, mainAt) + "float broken = ;\n" + toon.substr(mainAt));

    const ProcessResult result = runDemo(copy);
    expectCleanEnd(result, 0);
    EXPECT_NE(result.out.find("END MOVE OBJECTS: 0\n"), std::string::npos) << describe(result);

    const std::string toonLog = lineAfter(result.out, "Compiling shader : Toon.vertexshader");
    EXPECT_NE(toonLog.find("error"), std::string::npos) << describe(result);
    const std::string wireframeLog = lineAfter(result.out, "Compiling shader : Wireframe.fragmentshader");
    EXPECT_NE(wireframeLog.find("error"), std::string::npos) << describe(result);
    // The programs that were left alone compile and link without a word.
    EXPECT_EQ(lineAfter(result.out, "Compiling shader : BumpMapping.fragmentshader"), "") << describe(result);
}

TEST(BadInput, MissingEmptyOrCorruptMusicIsReportedAndTheShowRunsSilently)
{
    const std::string music = "mp3/zarathustra2.mp3";
    std::string corrupt;
    for (int i = 0; i < 2000; ++i) {
        corrupt += "not a frame of audio ";
    }
    const std::vector<std::function<void(const RunCopy&)>> breakers = {
        [&](const RunCopy& copy) { fs::remove(copy.path(music)); },
        [&](const RunCopy& copy) { writeFile(copy.path(music), ""); },
        [&](const RunCopy& copy) { writeFile(copy.path(music), corrupt); },
    };
    std::vector<std::unique_ptr<RunCopy>> copies;
    for (const auto& breaker : breakers) {
        copies.push_back(std::make_unique<RunCopy>());
        ASSERT_TRUE(copies.back()->copied);
        breaker(*copies.back());
    }
    const std::vector<ProcessResult> results = runAll(pointers(copies));
    const char* names[] = {"missing", "empty", "corrupt"};
    const int codes[] = {soundErrFileNotFound, soundErrFormat, soundErrFormat};
    for (size_t i = 0; i < results.size(); ++i) {
        SCOPED_TRACE(names[i]);
        expectCleanEnd(results[i], 0);
        expectCleanStart(results[i]);
        EXPECT_NE(results[i].out.find(soundErrorLine(codes[i])), std::string::npos) << describe(results[i]);
        // Only the stream failed; no music means no per-frame update, so no line per frame.
        EXPECT_EQ(countOf(results[i].out, "FMOD error! ("), 1u) << describe(results[i]);
    }
}

TEST(BadInput, WithoutAnAudioDeviceTheSoundErrorsArePrintedAndTheShowRunsSilently)
{
    RunCopy copy;
    ASSERT_TRUE(copy.copied);
    const ProcessResult result = runDemo(copy, {"ALSOFT_DRIVERS=no-such-backend"});
    expectCleanEnd(result, 0);
    expectCleanStart(result);
    EXPECT_NE(result.out.find(soundErrorLine(soundErrNoOutput)), std::string::npos) << describe(result);
    // Start-up reports a handful of failed calls, none per frame.
    EXPECT_GE(countOf(result.out, "FMOD error! ("), 1u);
    EXPECT_LE(countOf(result.out, "FMOD error! ("), 3u) << describe(result);
}

TEST(BadInput, WithoutADisplayTheRunEndsWithTwoHundredFiftyFive)
{
    RunCopy copy;
    ASSERT_TRUE(copy.copied);
    const ProcessResult result = runDemo(copy, {}, false);
    expectCleanEnd(result, 255);
    EXPECT_NE(result.err.find("Failed to initialize GLFW\n"), std::string::npos) << describe(result);
}

TEST(BadInput, AThreeThreeOnlyContextComplainsAndRunsTheShow)
{
    RunCopy copy;
    ASSERT_TRUE(copy.copied);
    const ProcessResult result = runDemo(copy, {"MESA_GL_VERSION_OVERRIDE=3.3"});
    expectCleanEnd(result, 0);
    expectCleanStart(result);
    EXPECT_NE(result.err.find("Failed to open GLFW window OGL 4.1\n"), std::string::npos) << describe(result);
    EXPECT_NE(result.err.find("Your version is 3.3.\n"), std::string::npos) << describe(result);
    EXPECT_EQ(result.out.find("decoder error"), std::string::npos) << describe(result);
}

}  // namespace
