// Watching the shader files by their stamps and swapping rebuilt programs in.
#include "shader_watch.h"

#include "app/scene.h"
#include "assets/shader_program.h"

#include <sys/stat.h>

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

// Makes `target` in shader/ what the source folder holds: the same bytes, or no file when the
// source is gone (the rebuild then fails and the previous program stays, as with any broken
// source).
void mirrorIntoShaderFolder(const std::string& source, const std::string& target)
{
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::equivalent(source, target, error)) {
        return;  // edited in shader/ itself
    }
    if (!fs::exists(source, error)) {
        fs::remove(target, error);
        return;
    }
    fs::copy_file(source, target, fs::copy_options::overwrite_existing, error);
    if (error) {
        fprintf(stderr,
                "lumarq-preview: cannot copy %s to %s (%s); run the preview from the build's run/ folder\n",
                source.c_str(), target.c_str(), error.message().c_str());
    }
}

// Loads the program's two files again; when they compile and link, the new program takes the
// old one's place (uniform locations looked up again) and the old one is deleted. Otherwise the
// old one stays, with the logs printed. True when the new one was taken.
bool rebuildProgram(Scene& scene, const RendererProgram& program)
{
    const GLuint rebuilt = loadShaderProgramNamed(program.name);
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
    const std::string watchedDir = sourceDir.empty() ? std::string("shader") : sourceDir;
    for (int p = 0; p < rendererProgramCount; ++p) {
        for (int s = 0; s < 2; ++s) {
            const std::string file = std::string(rendererPrograms[p].name) + shaderFileSuffixes[s];
            watch.watchedPaths[p][s] = watchedDir + "/" + file;
            watch.loadedPaths[p][s] = "shader/" + file;
            if (!sourceDir.empty()) {
                mirrorIntoShaderFolder(watch.watchedPaths[p][s], watch.loadedPaths[p][s]);
            }
            watch.stamps[p][s] = stampOf(watch.watchedPaths[p][s]);
        }
    }
}

int rebuildChangedPrograms(ShaderWatch& watch, Scene& scene)
{
    int rebuilt = 0;
    for (int p = 0; p < rendererProgramCount; ++p) {
        bool changed = false;
        for (int s = 0; s < 2; ++s) {
            const FileStamp now = stampOf(watch.watchedPaths[p][s]);
            if (sameStamp(now, watch.stamps[p][s])) {
                continue;
            }
            watch.stamps[p][s] = now;
            changed = true;
            if (!watch.sourceDir.empty()) {
                mirrorIntoShaderFolder(watch.watchedPaths[p][s], watch.loadedPaths[p][s]);
            }
        }
        if (changed && rebuildProgram(scene, rendererPrograms[p])) {
            ++rebuilt;
        }
    }
    return rebuilt;
}
