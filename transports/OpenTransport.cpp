#include "OpenTransport.h"

#include "PortName.h"
#include "PortNames.h"
#include "Reader.h"
#include "Status.h"
#include "SystemPorts.h"
#include "Timeouts.h"

namespace readerlib {

std::unique_ptr<Transport> openTransport(uint8_t portKind, const char* portText, uint16_t& status)
{
    switch (portKind) {
    case READER_PORT_SERIAL: {
        const auto path = serialDevicePath(portText);
        if (!path) {
            status = READER_FAIL(READER_BAD_ARGUMENT, "port text is not COM1..COM255");
            return nullptr;
        }
        return openSerialDevice(*path, status);
    }
    case READER_PORT_TCP: {
        const auto address = portText ? ports::tcpAddress(portText) : std::nullopt;
        if (!address) {
            status = READER_FAIL(READER_BAD_ARGUMENT, "port text is not a dotted IPv4 address with an optional :PORT");
            return nullptr;
        }
        return connectTcp(address->address, address->port.value_or(tcpPort()), tcpConnectTimeoutMs(), status);
    }
    case READER_PORT_USB: {
        const auto path = usbDevicePath();
        if (!path) {
            status = READER_FAIL(READER_OPEN_FAILED, "no USB serial port");
            return nullptr;
        }
        return openSerialDevice(*path, status);
    }
    default:
        status = READER_FAIL(READER_BAD_ARGUMENT, "unknown port kind");
        return nullptr;
    }
}

} // namespace readerlib
