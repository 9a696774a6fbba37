// Asset paths are written with backslashes in the demo's tables ("models\ground.obj"); this is
// the one place that turns them into paths the host can open (platform/host_windows.cpp,
// platform/host_posix.cpp).
#pragma once
#include <string>

std::string hostPath(const std::string& path);
