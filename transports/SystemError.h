// What the system says about a port it would not open, for the library's
// trace and status. One file a system implements this (SystemErrorPosix.cpp,
// SystemErrorWindows.cpp), chosen by the build.
#pragma once

#include <string>

namespace readerlib {

// The system's own words for error (errno on Linux, GetLastError() on Windows).
std::string systemErrorText(int error);

// Whether error says that this user may not open the port (another may).
bool accessDenied(int error);

// The group that may read and write the device at path, which an ordinary
// user joins to get the port ("" when the group may not, or it is unknown).
std::string groupWithAccess(const std::string& path);

} // namespace readerlib
