// What Windows gives the platform layer: the system tick count, and asset paths opened exactly as
// the tables write them, backslashes and all.
#include "platform/asset_path.h"
#include "platform/clock.h"

#include <windows.h>

uint32_t systemTickCount()
{
    return GetTickCount();
}

std::string hostPath(const std::string& path)
{
    return path;
}
