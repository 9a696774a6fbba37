// Converts table paths to the host's separator.
#include "platform/asset_path.h"

std::string hostPath(const std::string& path)
{
    std::string result = path;
    for (char& c : result) {
        if (c == '\\') {
            c = '/';
        }
    }
    return result;
}
