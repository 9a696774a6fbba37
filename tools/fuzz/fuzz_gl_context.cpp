// Hidden GL context and scratch files for the fuzz targets.
#include "fuzz_gl_context.h"

#include "app/window.h"

#include <GLFW/glfw3.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

void openFuzzGlContext()
{
    static GLFWwindow* window = nullptr;
    if (window != nullptr) {
        return;
    }
    if (!glfwInit()) {
        fprintf(stderr, "fuzz: cannot start GLFW; run under xvfb-run -a\n");
        abort();
    }
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    window = openDemoWindow(64, 64, nullptr);
    if (window == nullptr) {
        fprintf(stderr, "fuzz: cannot open a GL window\n");
        abort();
    }
    prepareContext(window);
}

const std::string& fuzzScratchDir()
{
    static std::string dir;
    if (dir.empty()) {
        // Under $TMPDIR, so that a script can sweep up after the run.
        const char* tmp = getenv("TMPDIR");
        std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/lumarq-fuzz-XXXXXX";
        if (mkdtemp(&pattern[0]) == nullptr) {
            perror("fuzz: mkdtemp");
            abort();
        }
        dir = pattern;
    }
    return dir;
}

void writeFuzzFile(const std::string& path, const unsigned char* data, size_t size)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr || (size > 0 && fwrite(data, 1, size, file) != size) || fclose(file) != 0) {
        perror(path.c_str());
        abort();
    }
}
