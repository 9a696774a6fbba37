// A stand-in for a Windows program of ours, for the tests of what runs them under Wine: says
// which program was started, in which folder and with how many arguments (on standard output,
// and appended to the file LUMARQ_STAND_IN_LOG names, if any), and ends with the
// status that LUMARQ_STAND_IN_STATUS names (0 without it), or, when it says "crash", with a
// read through a null pointer on a thread of its own. The tests compile it with the mingw-w64
// toolchain (compileStandIn in wine_run.h).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

DWORD WINAPI readThroughNull(void* pointer)
{
    return static_cast<DWORD>(static_cast<volatile int*>(pointer)[2]);
}

}  // namespace

int main(int argc, char**)
{
    char program[MAX_PATH] = {};
    char folder[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    GetCurrentDirectoryA(MAX_PATH, folder);
    const char* slash = std::strrchr(program, '\\');
    std::printf("%s in %s with %d arguments\n", slash != nullptr ? slash + 1 : program, folder, argc - 1);
    std::fflush(stdout);
    if (const char* log = std::getenv("LUMARQ_STAND_IN_LOG")) {
        if (FILE* file = std::fopen(log, "a")) {
            std::fprintf(file, "%s started\n", slash != nullptr ? slash + 1 : program);
            std::fclose(file);
        }
    }
    const char* status = std::getenv("LUMARQ_STAND_IN_STATUS");
    if (status != nullptr && std::strcmp(status, "crash") == 0) {
        HANDLE thread = CreateThread(nullptr, 0, readThroughNull, nullptr, 0, nullptr);
        WaitForSingleObject(thread, INFINITE);
    }
    return status != nullptr ? std::atoi(status) : 0;
}
