// What Windows gives the platform layer: the system tick count, asset paths opened exactly as
// the tables write them, backslashes and all, and XInput held for the life of the process.
#include "platform/asset_path.h"
#include "platform/clock.h"
#include "platform/input_libraries.h"

#include <windows.h>

uint32_t systemTickCount()
{
    return GetTickCount();
}

std::string hostPath(const std::string& path)
{
    return path;
}

void keepInputLibrariesLoaded()
{
    // GLFW's own order (win32_init.c): it takes the first of these that loads, so the one loaded
    // here is the one it gets. Pinned rather than left to the end of the process unfreed: skipping
    // glfwTerminate would leave the monitor in the demo's video mode, and GLFW's FreeLibrary on a
    // pinned DLL only lowers a count that no longer unmaps it.
    for (const wchar_t* name :
         {L"xinput1_4.dll", L"xinput1_3.dll", L"xinput9_1_0.dll", L"xinput1_2.dll", L"xinput1_1.dll"}) {
        if (LoadLibraryW(name) != nullptr) {
            HMODULE pinned = nullptr;
            GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN, name, &pinned);
            return;
        }
    }
}
