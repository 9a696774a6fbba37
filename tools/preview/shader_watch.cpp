// Watching the shader files by their stamps and swapping rebuilt programs in.
#include "shader_watch.h"

#include "app/scene.h"
#include "assets/shader_program.h"
#include "shader_build.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace {

FileStamp stampOf(const std::string& path)
{
    FileStamp stamp;
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return stamp;
    }
    stamp.exists = true;
    stamp.seconds = info.st_mtim.tv_sec;
    stamp.nanoseconds = info.st_mtim.tv_nsec;
    stamp.size = info.st_size;
    stamp.inode = info.st_ino;
    return stamp;
}

bool sameStamp(const FileStamp& a, const FileStamp& b)
{
    return a.exists == b.exists && a.seconds == b.seconds && a.nanoseconds == b.nanoseconds && a.size == b.size &&
           a.inode == b.inode;
}

// The source folder's files and their parts, with their stamps, in path order.
std::vector<std::pair<std::string, FileStamp>> sourceStamps(const std::string& sourceDir)
{
    namespace fs = std::filesystem;
    std::vector<std::pair<std::string, FileStamp>> stamps;
    std::error_code error;
    for (const std::string& dir : {sourceDir, sourceDir + "/include"}) {
        for (const fs::directory_entry& entry : fs::directory_iterator(dir, error)) {
            if (entry.is_regular_file(error)) {
                stamps.emplace_back(entry.path().string(), stampOf(entry.path().string()));
            }
        }
    }
    std::sort(stamps.begin(), stamps.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return stamps;
}

bool sameSources(const std::vector<std::pair<std::string, FileStamp>>& a,
                 const std::vector<std::pair<std::string, FileStamp>>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.first == y.first && sameStamp(x.second, y.second);
    });
}

// shader/ made from the sources; a source that does not build leaves the files as they were.
void makeShaderFolder(const std::string& sourceDir)
{
    std::string error;
    if (!buildShaderFolder(sourceDir, ShaderDialect::desktop, "shader", error)) {
        fprintf(stderr, "lumarq-preview: %s; the shader files stay as they were until it is fixed\n",
                error.c_str());
    }
}

// Loads the program's two files again; when they compile and link, the new program takes the
// old one's place (uniform locations looked up again) and the old one is deleted. Otherwise the
// old one stays, with the logs printed. True when the new one was taken.
bool rebuildProgram(Scene& scene, const RendererProgram& program)
{
    const ProgramFiles files = programFiles(program, scene.renderer.outlineQuads);
    const GLuint rebuilt = loadShaderProgram(files.vertex.c_str(), files.fragment.c_str());
    GLint linked = GL_FALSE;
    glGetProgramiv(rebuilt, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        glDeleteProgram(rebuilt);
        fprintf(stderr,
                "lumarq-preview: the %s program did not build (log above); the previous one stays until "
                "shader/%s.* is fixed\n",
                program.name, program.name);
        return false;
    }
    const GLuint previous = scene.renderer.*program.program;
    scene.replaceProgram(previous, rebuilt);
    glDeleteProgram(previous);
    printf("lumarq-preview: the %s program was rebuilt\n", program.name);
    fflush(stdout);
    return true;
}

}  // namespace

void startShaderWatch(ShaderWatch& watch, const std::string& sourceDir)
{
    watch.sourceDir = sourceDir;
    watch.files.clear();
    for (int p = 0; p < rendererProgramCount; ++p) {
        for (bool outlineQuads : {false, true}) {
            const ProgramFiles files = programFiles(rendererPrograms[p], outlineQuads);
            for (const std::string* file : {&files.vertex, &files.fragment}) {
                const std::string path = "shader/" + *file;
                const bool known = std::any_of(watch.files.begin(), watch.files.end(), [&](const auto& watched) {
                    return watched.program == p && watched.path == path;
                });
                if (!known) {
                    watch.files.push_back({p, path, FileStamp()});
                }
            }
        }
    }
    if (!sourceDir.empty()) {
        watch.sources = sourceStamps(sourceDir);
        makeShaderFolder(sourceDir);
    }
    for (WatchedShaderFile& file : watch.files) {
        file.stamp = stampOf(file.path);
    }
}

int rebuildChangedPrograms(ShaderWatch& watch, Scene& scene)
{
    if (!watch.sourceDir.empty()) {
        std::vector<std::pair<std::string, FileStamp>> now = sourceStamps(watch.sourceDir);
        if (!sameSources(now, watch.sources)) {
            watch.sources = std::move(now);
            makeShaderFolder(watch.sourceDir);
        }
    }
    bool changed[rendererProgramCount] = {};
    for (WatchedShaderFile& file : watch.files) {
        const FileStamp now = stampOf(file.path);
        if (!sameStamp(now, file.stamp)) {
            file.stamp = now;
            changed[file.program] = true;
        }
    }
    int rebuilt = 0;
    for (int p = 0; p < rendererProgramCount; ++p) {
        if (changed[p] && rebuildProgram(scene, rendererPrograms[p])) {
            ++rebuilt;
        }
    }
    return rebuilt;
}
