#include "Status.h"

#include "Reader.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#if !defined(_WIN32)
#include <grp.h>
#include <sys/stat.h>
#endif

namespace readerlib {

namespace {
bool tracing()
{
    static const bool enabled = std::getenv("READER_TRACE") != nullptr;
    return enabled;
}
} // namespace

void trace(const char* function, const char* message)
{
    if (tracing())
        std::fprintf(stderr, "libReader: %s: %s\n", function, message);
}

uint16_t failWith(const char* function, uint16_t status, const char* why)
{
    if (tracing())
        std::fprintf(stderr, "libReader: %s: %s (status 0x%04X)\n", function, why, static_cast<unsigned>(status));
    return status;
}

namespace {
bool accessDenied(int systemError)
{
#if defined(_WIN32)
    // Windows says "access denied" also for a port another program holds;
    // that is no question of rights, so it stays READER_OPEN_FAILED there.
    (void)systemError;
    return false;
#else
    return systemError == EACCES || systemError == EPERM;
#endif
}

// The group that may read and write the device, which an ordinary user joins
// to get the port ("" when the group may not, or it is unknown).
std::string groupWithAccess(const std::string& path)
{
#if !defined(_WIN32)
    struct stat device {};
    if (::stat(path.c_str(), &device) == 0 && (device.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP))
        if (const group* owner = ::getgrgid(device.st_gid))
            return owner->gr_name;
#endif
    return {};
}
} // namespace

uint16_t failToOpen(const char* function, const std::string& path, int systemError)
{
    const bool denied = accessDenied(systemError);
    if (tracing()) {
        std::string cause = path + ": " + std::strerror(systemError);
        if (denied) {
            cause += "; this user may not open the port";
            if (const std::string group = groupWithAccess(path); !group.empty())
                cause += " (members of the group '" + group + "' may)";
        }
        trace(function, cause.c_str());
    }
    return denied ? failWith(function, READER_ACCESS_DENIED, "permission denied")
                  : failWith(function, READER_OPEN_FAILED, "port cannot be opened");
}

} // namespace readerlib
