// Whether two device paths that READER_COMn or READER_USB give lead to one
// device, so that one reader is not named twice under two port names. One file
// a system (SameDevicePosix.cpp, SameDeviceWindows.cpp).
#pragma once

#include <string>

bool sameDevice(const std::string& one, const std::string& other);
