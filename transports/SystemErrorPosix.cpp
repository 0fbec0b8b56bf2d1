#include "SystemError.h"

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <sys/stat.h>

namespace readerlib {

std::string systemErrorText(int error)
{
    return std::strerror(error);
}

bool accessDenied(int error)
{
    return error == EACCES || error == EPERM;
}

std::string groupWithAccess(const std::string& path)
{
    struct stat device {};
    if (::stat(path.c_str(), &device) == 0 && (device.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP))
        if (const group* owner = ::getgrgid(device.st_gid))
            return owner->gr_name;
    return {};
}

} // namespace readerlib
