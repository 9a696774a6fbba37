// Watching the shader files by their stamps and swapping rebuilt programs in.
#include "shader_watch.h"

#include "app/scene.h"
#include "assets/shader_program.h"

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

const char* const stageSuffixes[2] = {".vertexshader", ".fragmentshader"};

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

std::string watchedPath(const ShaderWatch& watch, const std::string& file)
{
    return (watch.sourceDir.empty() ? std::string("shader") : watch.sourceDir) + "/" + file;
}

bool readWhole(const std::string& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    bytes = content.str();
    return true;
}

// Makes shader/<file> what the source folder holds: the same bytes, or no file when the source
// is gone (the rebuild then fails and the previous program stays, as with any broken source).
void mirrorIntoShaderFolder(const ShaderWatch& watch, const std::string& file)
{
    const std::string target = "shader/" + file;
    std::string bytes;
    if (!readWhole(watchedPath(watch, file), bytes)) {
        std::remove(target.c_str());
        return;
    }
    std::string current;
    if (readWhole(target, current) && current == bytes) {
        return;
    }
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) {
        fprintf(stderr, "lumarq-preview: cannot write %s; run the preview from the build's run/ folder\n",
                target.c_str());
    }
}

}  // namespace

void startShaderWatch(ShaderWatch& watch, const std::string& sourceDir)
{
    watch.sourceDir = sourceDir;
    for (int p = 0; p < rendererProgramCount; ++p) {
        for (int s = 0; s < 2; ++s) {
            const std::string file = std::string(rendererPrograms[p].name) + stageSuffixes[s];
            if (!sourceDir.empty()) {
                mirrorIntoShaderFolder(watch, file);
            }
            watch.stamps[p][s] = stampOf(watchedPath(watch, file));
        }
    }
}

int rebuildChangedPrograms(ShaderWatch& watch, Scene& scene)
{
    int rebuilt = 0;
    for (int p = 0; p < rendererProgramCount; ++p) {
        bool changed = false;
        for (int s = 0; s < 2; ++s) {
            const std::string file = std::string(rendererPrograms[p].name) + stageSuffixes[s];
            const FileStamp now = stampOf(watchedPath(watch, file));
            if (sameStamp(now, watch.stamps[p][s])) {
                continue;
            }
            watch.stamps[p][s] = now;
            changed = true;
            if (!watch.sourceDir.empty()) {
                mirrorIntoShaderFolder(watch, file);
            }
        }
        if (changed && rebuildProgram(scene, rendererPrograms[p])) {
            ++rebuilt;
        }
    }
    return rebuilt;
}

bool rebuildProgram(Scene& scene, const RendererProgram& program)
{
    const std::string name = program.name;
    const GLuint rebuilt = loadShaderProgram((name + stageSuffixes[0]).c_str(), (name + stageSuffixes[1]).c_str());
    GLint linked = GL_FALSE;
    glGetProgramiv(rebuilt, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        glDeleteProgram(rebuilt);
        fprintf(stderr,
                "lumarq-preview: the %s program did not build (log above); the previous one stays until "
                "shader/%s.* is fixed\n",
                name.c_str(), name.c_str());
        return false;
    }
    const GLuint previous = scene.renderer.*program.program;
    scene.replaceProgram(previous, rebuilt);
    glDeleteProgram(previous);
    printf("lumarq-preview: the %s program was rebuilt\n", name.c_str());
    fflush(stdout);
    return true;
}
