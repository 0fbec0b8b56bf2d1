#include "PortNames.h"

#include "PortName.h"
#include "SystemPorts.h"

#include <cstdlib>

namespace readerlib {

std::optional<std::string> serialDevicePath(const char* portText)
{
    if (portText == nullptr)
        return std::nullopt;
    const auto number = ports::comNumber(portText);
    if (!number)
        return std::nullopt;
    const std::string variable = "READER_COM" + std::to_string(*number);
    if (const char* mapped = std::getenv(variable.c_str()); mapped != nullptr && *mapped != '\0')
        return std::string(mapped);
    return systemSerialPort(*number);
}

std::optional<std::string> usbDevicePath()
{
    if (const char* mapped = std::getenv("READER_USB"); mapped != nullptr && *mapped != '\0')
        return std::string(mapped);
    return firstUsbSerialPort();
}

uint16_t tcpPort()
{
    return ports::unnamedTcpPort(std::getenv("READER_TCP_PORT"));
}

} // namespace readerlib
