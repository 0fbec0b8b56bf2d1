#include "Status.h"

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

} // namespace readerlib
