// The names of the ports a reader is reached on: "COM3", "usb", a dotted IPv4
// address with an optional ":PORT", and tagdesk-cli's "tcp:ADDRESS[:PORT]";
// and the address ranges tagdesk-cli scan looks at and readersim serves a
// fleet at ("tcp:ADDRESS/PREFIX", "tcp:FIRST-LAST").
// Parsing only: which device or TCP port a name finally stands for (READER_COMn,
// READER_USB, READER_TCP_PORT) is the device library's affair.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ports {

// "COM3" or "com3" -> 3; nullopt unless "COM" and a decimal number 1..255.
std::optional<unsigned> comNumber(std::string_view text);

// A decimal port number 1..65535 of at most five digits.
std::optional<uint16_t> portNumber(std::string_view text);

// The TCP port a reader is reached on when its address names none: the port
// setting (READER_TCP_PORT's text, or null) when it holds 1..65535, else 4001.
uint16_t unnamedTcpPort(const char* setting);

// A wait in milliseconds from a setting's text (an environment variable's, or
// null): 1..60000, else fallback.
int waitSetting(const char* setting, int fallback);

// How long opening a TCP port waits for the connection: the setting
// (READER_CONNECT_TIMEOUT_MS's text, or null), else proto::kTcpConnectTimeoutMs.
int tcpConnectWaitMs(const char* setting);

// An address (host byte order) as dotted text: "192.168.1.200".
std::string dotted(uint32_t address);

struct TcpAddress {
    uint32_t address = 0;          // host byte order
    std::optional<uint16_t> port;  // none: the library's default port

    // "192.168.1.200", or "192.168.1.200:5000" with a port.
    std::string text() const;
};

// "192.168.1.200" or "192.168.1.200:5000": exactly four decimal parts 0..255 of
// at most three digits, then optionally ":" and a port number. Nothing else,
// not even a blank.
std::optional<TcpAddress> tcpAddress(std::string_view text);

// A range of TCP addresses: where tagdesk-cli scan looks for readers, where readersim serves them.
struct TcpRange {
    uint32_t first = 0;            // host byte order, first <= last
    uint32_t last = 0;
    std::optional<uint16_t> port;  // none: the library's default port

    uint64_t size() const { return uint64_t(last) - first + 1; }
};

// "tcp:ADDRESS/PREFIX" (PREFIX 0..32: the hosts of that network, without its
// network and broadcast addresses when it has more than two) or
// "tcp:FIRST-LAST" (both ends included), each optionally followed by ":PORT";
// addresses and port as tcpAddress() takes them, letters in any case.
// nullopt for anything else; for FIRST after LAST, problem (when given) says so
// ("127.0.0.9 comes after 127.0.0.2"), and stays as it was otherwise.
std::optional<TcpRange> tcpRange(std::string_view text, std::string* problem = nullptr);

// One reader's port: a serial port by number, USB, or a TCP address.
struct PortName {
    uint8_t kind = 0;   // READER_PORT_SERIAL, READER_PORT_TCP or READER_PORT_USB
    unsigned com = 0;   // READER_PORT_SERIAL: n of "COMn"
    TcpAddress tcp;     // READER_PORT_TCP

    // OpenReader's port text: "COM3", "192.168.1.200" or "192.168.1.200:5000"; "" for USB (NULL).
    std::string libraryText() const;
    // One spelling per port: "COM3", "usb", "tcp:127.0.0.1" or "tcp:127.0.0.1:5000".
    std::string canonical() const;
};

// "COM1".."COM255", "usb" or "tcp:" and an address as tcpAddress() takes it;
// letters in any case. nullopt for anything else.
std::optional<PortName> portName(std::string_view text);

} // namespace ports
