#include "PortArgument.h"

#include "PortName.h"
#include "Reader.h"

#include <cstdlib>

namespace {
// The serial ports the window offers.
constexpr unsigned lastComPort = 8;
} // namespace

std::optional<PortArgument> parsePort(const std::string& text)
{
    std::optional<ports::PortName> name = ports::portName(text);
    if (!name || (name->kind == READER_PORT_SERIAL && name->com > lastComPort))
        return std::nullopt;
    PortArgument port{text, name->kind, name->libraryText(), {}};
    // An address without a port reaches the port the library chooses for it.
    if (name->kind == READER_PORT_TCP && !name->tcp.port)
        name->tcp.port = ports::unnamedTcpPort(std::getenv("READER_TCP_PORT"));
    port.reader = name->canonical();
    return port;
}
