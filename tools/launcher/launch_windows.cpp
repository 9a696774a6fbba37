// The launcher on Windows: the primary monitor's mode as Windows has set it (in pixels, not scaled
// for DPI), and the build started as a child on the launcher's console, waited for, its status
// passed on.
#include "launch.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

// For messages: the console shows the bytes it is given in its own code page.
std::string narrow(const std::wstring& text)
{
    const UINT codePage = GetConsoleOutputCP() != 0 ? GetConsoleOutputCP() : CP_ACP;
    const int bytes = WideCharToMultiByte(codePage, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string result(bytes > 0 ? bytes : 1, '\0');
    WideCharToMultiByte(codePage, 0, text.c_str(), -1, result.data(), bytes, nullptr, nullptr);
    result.pop_back();  // the terminating zero
    return result;
}

std::string systemMessage(DWORD code)
{
    wchar_t text[512] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                   sizeof text / sizeof text[0], nullptr);
    std::string message = narrow(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
        message.pop_back();
    }
    return message.empty() ? "error " + std::to_string(code) : message;
}

// The folder the launcher lies in; empty when Windows cannot say.
std::wstring launcherFolder()
{
    // The longest path that Windows' wide-character calls take.
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) {
        return std::wstring();
    }
    path.resize(length);
    const std::wstring::size_type slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// Ctrl+C on the shared console reaches the build as well as the launcher; the launcher stays to
// wait for the build and pass on its status.
BOOL WINAPI outlastTheBuild(DWORD)
{
    return TRUE;
}

}  // namespace

bool primaryMonitorSize(DisplaySize& size)
{
    DEVMODEW mode = {};
    mode.dmSize = sizeof mode;
    if (!EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode) || mode.dmPelsWidth == 0 ||
        mode.dmPelsHeight == 0) {
        fprintf(stderr, "lumarq: cannot read the primary monitor's display mode: start a build with --size\n");
        return false;
    }
    size = {static_cast<int>(mode.dmPelsWidth), static_cast<int>(mode.dmPelsHeight)};
    return true;
}

int startBuild(const std::string& sizeName)
{
    const std::wstring folder = launcherFolder();
    if (folder.empty()) {
        fprintf(stderr, "lumarq: cannot find the folder the demo lies in\n");
        return 127;
    }
    const std::string name = "lumarq-" + sizeName + ".exe";
    const std::wstring program = folder + L"\\" + std::wstring(name.begin(), name.end());
    if (GetFileAttributesW(program.c_str()) == INVALID_FILE_ATTRIBUTES) {
        fprintf(stderr,
                "lumarq: cannot find %s in %s: unpack the whole zip into one folder and start lumarq.exe "
                "there\n",
                name.c_str(), narrow(folder).c_str());
        return 127;
    }

    // No arguments but the program's own name; the console, the standard handles and the
    // environment are the launcher's.
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    SetConsoleCtrlHandler(outlastTheBuild, TRUE);
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(),
                        &startup, &started)) {
        const DWORD failure = GetLastError();
        fprintf(stderr, "lumarq: cannot start %s: %s\n", narrow(program).c_str(), systemMessage(failure).c_str());
        return 127;
    }
    CloseHandle(started.hThread);
    WaitForSingleObject(started.hProcess, INFINITE);
    DWORD status = 127;  // should Windows not say how it ended
    GetExitCodeProcess(started.hProcess, &status);
    CloseHandle(started.hProcess);
    // As the build ended: -1 stays -1 (0xFFFFFFFF).
    return static_cast<int>(status);
}
