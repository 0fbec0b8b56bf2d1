#include "PortArgument.h"

#include "PrintableText.h"
#include "Reader.h"
#include "ReaderTransfer.h"

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

std::string openFailure(uint16_t status, const PortArgument& port)
{
    switch (status) {
    case READER_CONNECT_TIMEOUT: {
        const int ms = ports::tcpConnectWaitMs(std::getenv("READER_CONNECT_TIMEOUT_MS"));
        std::string seconds = std::to_string(ms / 1000);
        if (ms % 1000 != 0) {
            seconds += "." + std::to_string(1000 + ms % 1000).substr(1);
            seconds.erase(seconds.find_last_not_of('0') + 1);
        }
        return "timed out after " + seconds + " s";
    }
    case READER_ACCESS_DENIED:
        return "permission denied on " + (port.device.empty() ? port.label : escapedText(port.device))
            + ": add the user to the dialout group";
    default:
        return statusText(status);
    }
}
