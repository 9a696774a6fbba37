// Live shaders: the preview watches the five programs' shader files and rebuilds a program when
// one of its files changes; a program that fails to build leaves the previous one in use. Given
// the folder of the shader sources (shader/ of the repository), it watches those instead and makes
// the shader files from them as the build does (tools/shaders).
#pragma once
#include "render/renderer.h"

#include <string>
#include <vector>

struct Scene;

// What identifies one version of a file: a new write changes the time or the size, a file
// replaced by renaming another over it changes the inode.
struct FileStamp {
    bool exists = false;
    long long seconds = 0;
    long long nanoseconds = 0;
    long long size = 0;
    unsigned long long inode = 0;
};

// A file in shader/ that a program may be built from, and how it was at the last look.
struct WatchedShaderFile {
    int program = 0;  // index in rendererPrograms
    std::string path;
    FileStamp stamp;
};

struct ShaderWatch {
    // Where the shaders are edited. Empty: shader/ itself; otherwise the sources, which are made
    // into the files in shader/, where the programs are loaded from.
    std::string sourceDir;
    // Every program's files in shader/, both of the contour's vertex stages among them.
    std::vector<WatchedShaderFile> files;
    // With a source folder: its files as they were at the last look, by path.
    std::vector<std::pair<std::string, FileStamp>> sources;
};

// Records the files as they are now. With a source folder, first makes shader/ from it, so the
// programs loaded next are built from the sources being edited.
void startShaderWatch(ShaderWatch& watch, const std::string& sourceDir);

// Rebuilds every program whose files changed since the last look; returns how many it swapped in.
int rebuildChangedPrograms(ShaderWatch& watch, Scene& scene);
