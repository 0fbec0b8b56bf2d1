#include "PortNames.h"

#include "Protocol.h"

#include <libserialport.h>

#include <cstdlib>
#include <cstring>

namespace readerlib {

namespace {

// Parses a whole decimal text of 1 to maxDigits digits; nullopt on anything else.
std::optional<unsigned long> parseDecimal(const char* text, std::size_t length, std::size_t maxDigits)
{
    if (length == 0 || length > maxDigits)
        return std::nullopt;
    unsigned long value = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + static_cast<unsigned long>(text[i] - '0');
    }
    return value;
}

} // namespace

std::optional<std::string> serialDevicePath(const char* portText)
{
    if (portText == nullptr || std::strncmp(portText, "COM", 3) != 0)
        return std::nullopt;
    const char* digits = portText + 3;
    const auto number = parseDecimal(digits, std::strlen(digits), 3);
    if (!number || *number < 1 || *number > 255)
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

std::optional<uint32_t> parseIPv4(const char* text)
{
    if (text == nullptr)
        return std::nullopt;
    uint32_t address = 0;
    const char* part = text;
    for (int i = 0; i < 4; ++i) {
        const char* end = std::strchr(part, '.');
        const bool last = (i == 3);
        if (last != (end == nullptr))
            return std::nullopt;   // too few or too many parts
        const std::size_t length = last ? std::strlen(part) : static_cast<std::size_t>(end - part);
        const auto value = parseDecimal(part, length, 3);
        if (!value || *value > 255)
            return std::nullopt;
        address = (address << 8) | static_cast<uint32_t>(*value);
        if (!last)
            part = end + 1;
    }
    return address;
}

uint16_t tcpPort()
{
    const char* text = std::getenv("READER_TCP_PORT");
    if (text == nullptr)
        return proto::kDefaultTcpPort;
    const auto port = parseDecimal(text, std::strlen(text), 5);
    if (!port || *port < 1 || *port > 65535)
        return proto::kDefaultTcpPort;
    return static_cast<uint16_t>(*port);
}

} // namespace readerlib
