// POSIX: one file once links are followed (device and inode), or two nodes of
// one device; where either cannot be looked at, the same text.
#include "SameDevice.h"

#include <sys/stat.h>

bool sameDevice(const std::string& one, const std::string& other)
{
    struct stat first {};
    struct stat second {};
    if (::stat(one.c_str(), &first) != 0 || ::stat(other.c_str(), &second) != 0)
        return one == other;
    if (S_ISCHR(first.st_mode) && S_ISCHR(second.st_mode))
        return first.st_rdev == second.st_rdev;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}
