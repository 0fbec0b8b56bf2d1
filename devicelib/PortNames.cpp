#include "PortNames.h"

#include "PortName.h"

#include <libserialport.h>

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
    return "/dev/ttyS" + std::to_string(*number - 1);
}

std::optional<std::string> usbDevicePath()
{
    if (const char* mapped = std::getenv("READER_USB"); mapped != nullptr && *mapped != '\0')
        return std::string(mapped);
    struct sp_port** ports = nullptr;
    if (sp_list_ports(&ports) != SP_OK)
        return std::nullopt;
    std::optional<std::string> found;
    for (int i = 0; ports[i] != nullptr; ++i) {
        if (sp_get_port_transport(ports[i]) == SP_TRANSPORT_USB) {
            found = sp_get_port_name(ports[i]);
            break;
        }
    }
    sp_free_port_list(ports);
    return found;
}

uint16_t tcpPort()
{
    return ports::unnamedTcpPort(std::getenv("READER_TCP_PORT"));
}

} // namespace readerlib
