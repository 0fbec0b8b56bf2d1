#include "PortName.h"

#include "Protocol.h"
#include "Reader.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace ports {

namespace {

// A whole decimal text of 1 to maxDigits digits, nothing else (no sign, no blank).
std::optional<unsigned long> decimal(std::string_view text, std::size_t maxDigits)
{
    if (text.empty() || text.size() > maxDigits)
        return std::nullopt;
    unsigned long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<unsigned long>(c - '0');
    }
    return value;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size()
        && std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char p, char t) { return p == std::tolower(static_cast<unsigned char>(t)); });
}

// Exactly four decimal parts 0..255 of at most three digits, separated by dots.
std::optional<uint32_t> dottedAddress(std::string_view text)
{
    uint32_t address = 0;
    for (int part = 0; part < 4; ++part) {
        const std::size_t dot = text.find('.');
        if ((part == 3) != (dot == std::string_view::npos))
            return std::nullopt;   // too few or too many parts
        const auto value = decimal(text.substr(0, dot), 3);
        if (!value || *value > 255)
            return std::nullopt;
        address = address << 8 | static_cast<uint32_t>(*value);
        text = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    }
    return address;
}

// Takes an optional ":PORT" off the end of text; false when what follows the colon is no port number.
bool splitPort(std::string_view& text, std::optional<uint16_t>& port)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return true;
    port = portNumber(text.substr(colon + 1));
    text = text.substr(0, colon);
    return port.has_value();
}

} // namespace

std::string dotted(uint32_t address)
{
    return std::to_string(address >> 24) + "." + std::to_string(address >> 16 & 0xFF) + "."
        + std::to_string(address >> 8 & 0xFF) + "." + std::to_string(address & 0xFF);
}

std::optional<unsigned> comNumber(std::string_view text)
{
    if (!startsWithNoCase(text, "com"))
        return std::nullopt;
    const auto number = decimal(text.substr(3), 3);
    if (!number || *number < 1 || *number > 255)
        return std::nullopt;
    return static_cast<unsigned>(*number);
}

std::optional<uint16_t> portNumber(std::string_view text)
{
    const auto number = decimal(text, 5);
    if (!number || *number < 1 || *number > 65535)
        return std::nullopt;
    return static_cast<uint16_t>(*number);
}

uint16_t unnamedTcpPort(const char* setting)
{
    const auto port = setting ? portNumber(setting) : std::nullopt;
    return port.value_or(proto::kDefaultTcpPort);
}

int waitSetting(const char* setting, int fallback)
{
    if (setting == nullptr)
        return fallback;
    char* end = nullptr;
    const long value = std::strtol(setting, &end, 10);
    if (end == setting || *end != '\0' || value < 1 || value > 60000)
        return fallback;
    return static_cast<int>(value);
}

int tcpConnectWaitMs(const char* setting)
{
    return waitSetting(setting, proto::kTcpConnectTimeoutMs);
}

std::optional<TcpAddress> tcpAddress(std::string_view text)
{
    TcpAddress parsed;
    if (!splitPort(text, parsed.port))
        return std::nullopt;
    const auto address = dottedAddress(text);
    if (!address)
        return std::nullopt;
    parsed.address = *address;
    return parsed;
}

std::optional<TcpRange> tcpRange(std::string_view text, std::string* problem)
{
    if (!startsWithNoCase(text, "tcp:"))
        return std::nullopt;
    text.remove_prefix(4);
    TcpRange range;
    if (!splitPort(text, range.port))
        return std::nullopt;
    if (const std::size_t slash = text.find('/'); slash != std::string_view::npos) {
        const auto address = dottedAddress(text.substr(0, slash));
        const auto prefix = decimal(text.substr(slash + 1), 2);
        if (!address || !prefix || *prefix > 32)
            return std::nullopt;
        const uint32_t hostBits = *prefix == 0 ? 0xFFFFFFFFu : (uint32_t(1) << (32 - *prefix)) - 1;
        range.first = *address & ~hostBits;
        range.last = range.first | hostBits;
        if (hostBits > 1) {   // the network's own address and its broadcast address are no hosts
            ++range.first;
            --range.last;
        }
        return range;
    }
    const std::size_t dash = text.find('-');
    if (dash == std::string_view::npos)
        return std::nullopt;
    const auto first = dottedAddress(text.substr(0, dash));
    const auto last = dottedAddress(text.substr(dash + 1));
    if (!first || !last)
        return std::nullopt;
    if (*first > *last) {
        if (problem)
            *problem = dotted(*first) + " comes after " + dotted(*last);
        return std::nullopt;
    }
    range.first = *first;
    range.last = *last;
    return range;
}

std::optional<PortName> portName(std::string_view text)
{
    if (const auto number = comNumber(text))
        return PortName{READER_PORT_SERIAL, *number, {}};
    if (text.size() == 3 && startsWithNoCase(text, "usb"))
        return PortName{READER_PORT_USB, 0, {}};
    if (startsWithNoCase(text, "tcp:"))
        if (const auto address = tcpAddress(text.substr(4)))
            return PortName{READER_PORT_TCP, 0, *address};
    return std::nullopt;
}

std::string TcpAddress::text() const
{
    return dotted(address) + (port ? ":" + std::to_string(*port) : "");
}

std::string PortName::libraryText() const
{
    switch (kind) {
    case READER_PORT_SERIAL:
        return "COM" + std::to_string(com);
    case READER_PORT_TCP:
        return tcp.text();
    default:
        return {};
    }
}

std::string PortName::canonical() const
{
    switch (kind) {
    case READER_PORT_SERIAL:
        return libraryText();
    case READER_PORT_TCP:
        return "tcp:" + tcp.text();
    default:
        return "usb";
    }
}

} // namespace ports
