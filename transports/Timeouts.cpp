#include "Timeouts.h"

#include "PortName.h"

#include <cstdlib>

namespace readerlib {

int answerTimeoutMs()
{
    return ports::waitSetting(std::getenv("READER_TIMEOUT_MS"), kAnswerTimeoutMs);
}

int tcpConnectTimeoutMs()
{
    return ports::tcpConnectWaitMs(std::getenv("READER_CONNECT_TIMEOUT_MS"));
}

} // namespace readerlib
