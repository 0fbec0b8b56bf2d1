// The ports of a Linux system: /dev/ttyS*, USB serial ports as libserialport
// lists them, serial ports through libserialport and pseudo-terminals through
// termios, TCP through POSIX sockets.
#include "SystemPorts.h"

#include "PtyTransport.h"
#include "SerialTransport.h"
#include "TcpTransport.h"

#include <libserialport.h>

namespace readerlib {

std::string systemSerialPort(int number)
{
    return "/dev/ttyS" + std::to_string(number - 1);
}

std::optional<std::string> firstUsbSerialPort()
{
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

std::unique_ptr<Transport> openSerialDevice(const std::string& path, uint16_t& status)
{
    bool knownPort = false;
    if (auto serial = SerialTransport::open(path, status, knownPort))
        return serial;
    if (knownPort)
        return nullptr;
    return PtyTransport::open(path, status);
}

std::unique_ptr<Transport> connectTcp(uint32_t address, uint16_t port, int connectTimeoutMs, uint16_t& status)
{
    return TcpTransport::connect(address, port, connectTimeoutMs, status);
}

} // namespace readerlib
