#include "Status.h"

#include "Reader.h"
#include "SystemError.h"

#include <cstdio>
#include <cstdlib>

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

uint16_t failToOpen(const char* function, const std::string& path, int systemError)
{
    const bool denied = accessDenied(systemError);
    if (tracing()) {
        std::string cause = path + ": " + systemErrorText(systemError);
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
