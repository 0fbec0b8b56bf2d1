// Windows: a serial port is a name, not a file: COM12, com12 and \\.\COM12
// are one port.
#include "SameDevice.h"

#include <algorithm>
#include <cctype>

namespace {
std::string portName(std::string path)
{
    if (path.rfind("\\\\.\\", 0) == 0)
        path.erase(0, 4);
    std::transform(path.begin(), path.end(), path.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return path;
}
} // namespace

bool sameDevice(const std::string& one, const std::string& other)
{
    return portName(one) == portName(other);
}
