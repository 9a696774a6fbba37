// Live shaders: the preview watches the five programs' source files and rebuilds a program when
// one of its two files changes; a program that fails to build leaves the previous one in use.
#pragma once
#include "render/renderer.h"

#include <string>

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

struct ShaderWatch {
    // Where the sources are edited. Empty: shader/ itself; otherwise a changed file is copied
    // into shader/, which is where the programs are loaded from.
    std::string sourceDir;
    // The vertex and fragment file of each program: where they are watched, where they are
    // loaded from, and how they were at the last look.
    std::string watchedPaths[rendererProgramCount][2];
    std::string loadedPaths[rendererProgramCount][2];
    FileStamp stamps[rendererProgramCount][2];
};

// Records the files as they are now. With a source folder, first brings shader/ up to date with
// it, so the programs loaded next are built from the files being edited.
void startShaderWatch(ShaderWatch& watch, const std::string& sourceDir);

// Rebuilds every program whose files changed since the last look; returns how many it swapped in.
int rebuildChangedPrograms(ShaderWatch& watch, Scene& scene);
