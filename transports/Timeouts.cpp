#include "Timeouts.h"

#include <cstdlib>

namespace readerlib {

namespace {
// A wait in milliseconds from the environment variable name: 1..60000, else fallback.
int waitSetting(const char* name, int fallback)
{
    const char* text = std::getenv(name);
    if (text == nullptr)
        return fallback;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 1 || value > 60000)
        return fallback;
    return static_cast<int>(value);
}
} // namespace

int answerTimeoutMs()
{
    return waitSetting("READER_TIMEOUT_MS", kAnswerTimeoutMs);
}

int tcpConnectTimeoutMs()
{
    return waitSetting("READER_CONNECT_TIMEOUT_MS", kTcpConnectTimeoutMs);
}

} // namespace readerlib
