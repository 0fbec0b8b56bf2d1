#include "PortArgument.h"

#include "Reader.h"

#include <cstdlib>

namespace {
// The serial ports the window offers.
constexpr unsigned lastComPort = 8;

PortArgument portArgument(ports::PortName name, std::string label)
{
    PortArgument port{std::move(label), name.kind, name.libraryText(), {}, {}};
    // An address without a port reaches the port the library chooses for it.
    if (name.kind == READER_PORT_TCP && !name.tcp.port)
        name.tcp.port = ports::unnamedTcpPort(std::getenv("READER_TCP_PORT"));
    port.reader = name.canonical();
    if (name.kind == READER_PORT_SERIAL || name.kind == READER_PORT_USB) {
        const std::string variable = name.kind == READER_PORT_USB ? "READER_USB" : "READER_COM" + std::to_string(name.com);
        if (const char* device = std::getenv(variable.c_str()); device != nullptr && *device != '\0')
            port.device = device;   // as the library takes it: an empty variable names nothing
    }
    return port;
}
} // namespace

std::optional<PortArgument> parsePort(const std::string& text)
{
    const std::optional<ports::PortName> name = ports::portName(text);
    if (!name || (name->kind == READER_PORT_SERIAL && name->com > lastComPort))
        return std::nullopt;
    return portArgument(*name, text);
}

std::vector<PortArgument> rangePorts(const ports::TcpRange& range)
{
    std::vector<PortArgument> found;
    found.reserve(range.size());
    for (uint64_t address = range.first; address <= range.last; ++address) {
        const ports::PortName name{READER_PORT_TCP, 0, {uint32_t(address), range.port}};
        found.push_back(portArgument(name, name.canonical()));
    }
    return found;
}

std::vector<PortArgument> localPorts()
{
    std::vector<PortArgument> local;
    for (unsigned com = 1; com <= lastComPort; ++com)
        local.push_back(*parsePort("COM" + std::to_string(com)));
    local.push_back(*parsePort("usb"));
    return local;
}

uint16_t openReader(const PortArgument& port, uint32_t& handle)
{
    return OpenReader(&handle, port.kind, port.text.empty() ? nullptr : port.text.c_str());
}
