// A stand-in for a build of the demo, for the Windows launcher's tests: says which program was
// started, in which folder and with how many arguments, and ends with the status that
// LUMARQ_STAND_IN_STATUS names (0 without it). The test compiles it with the mingw-w64 toolchain.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char**)
{
    char program[MAX_PATH] = {};
    char folder[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    GetCurrentDirectoryA(MAX_PATH, folder);
    const char* slash = std::strrchr(program, '\\');
    std::printf("%s in %s with %d arguments\n", slash != nullptr ? slash + 1 : program, folder, argc - 1);
    const char* status = std::getenv("LUMARQ_STAND_IN_STATUS");
    return status != nullptr ? std::atoi(status) : 0;
}
