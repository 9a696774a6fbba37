// lumarq-shaders: makes the shader files that the programs load from the sources in shader/, for
// desktop GL or for WebGL 2, into a folder (the run folder's shader/). Run by the build:
//   lumarq-shaders desktop|web SOURCE_DIR OUT_DIR
#include "shader_build.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    const std::string dialect = argc == 4 ? argv[1] : "";
    if (dialect != "desktop" && dialect != "web") {
        fprintf(stderr, "usage: lumarq-shaders desktop|web SOURCE_DIR OUT_DIR\n");
        return 2;
    }
    std::string error;
    if (!buildShaderFolder(argv[2], dialect == "web" ? ShaderDialect::web : ShaderDialect::desktop, argv[3],
                           error)) {
        fprintf(stderr, "lumarq-shaders: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
