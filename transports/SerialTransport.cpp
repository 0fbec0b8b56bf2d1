#include "SerialTransport.h"

#include "Reader.h"
#include "SerialLine.h"
#include "Status.h"
#include "Timeouts.h"

#include <fcntl.h>
#include <libserialport.h>
#include <unistd.h>

namespace readerlib {

std::unique_ptr<SerialTransport> SerialTransport::open(const std::string& path, uint16_t& status, bool& knownPort)
{
    sp_port* port = nullptr;
    knownPort = sp_get_port_by_name(path.c_str(), &port) == SP_OK;
    if (!knownPort) {
        status = READER_FAIL(READER_OPEN_FAILED, "not a serial port libserialport knows");
        return nullptr;
    }
    // libserialport makes the port raw as it opens it and keeps nothing of
    // what it was: the settings are read through a descriptor of our own,
    // held until the port is open so that the device is never closed between.
    SavedLineSettings original;
    const int before = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (before >= 0)
        original.save(before);
    const bool opened = sp_open(port, SP_MODE_READ_WRITE) == SP_OK;
    const int systemError = opened ? 0 : sp_last_error_code();
    if (before >= 0)
        ::close(before);
    if (!opened) {
        sp_free_port(port);
        status = READER_FAIL_OPEN(path, systemError);
        return nullptr;
    }
    std::unique_ptr<SerialTransport> transport(new SerialTransport(port));
    transport->original_ = original;
    if (sp_set_baudrate(port, kSerialBaudRate) != SP_OK || sp_set_bits(port, 8) != SP_OK
        || sp_set_parity(port, SP_PARITY_NONE) != SP_OK || sp_set_stopbits(port, 1) != SP_OK
        || sp_set_flowcontrol(port, SP_FLOWCONTROL_NONE) != SP_OK) {
        status = READER_FAIL(READER_OPEN_FAILED, "serial line settings refused");
        return nullptr;
    }
    status = READER_OK;
    return transport;
}

SerialTransport::~SerialTransport()
{
    int fd = -1;
    if (sp_get_port_handle(port_, &fd) == SP_OK)
        original_.restore(fd);
    sp_close(port_);
    sp_free_port(port_);
}

uint16_t SerialTransport::send(const uint8_t* data, std::size_t size)
{
    const sp_return written = sp_blocking_write(port_, data, size, kSendTimeoutMs);
    if (written < 0 || static_cast<std::size_t>(written) != size)
        return READER_FAIL(READER_LINK_LOST, "serial write failed");
    return READER_OK;
}

uint16_t SerialTransport::receive(uint8_t* buffer, std::size_t capacity, int timeoutMs, std::size_t& received)
{
    received = 0;
    // A timeout of 0 means "wait for ever" to sp_blocking_read_next.
    const sp_return got = timeoutMs > 0
        ? sp_blocking_read_next(port_, buffer, capacity, static_cast<unsigned>(timeoutMs))
        : sp_nonblocking_read(port_, buffer, capacity);
    if (got < 0)
        return READER_FAIL(READER_LINK_LOST, "serial read failed");
    received = static_cast<std::size_t>(got);
    return READER_OK;
}

uint16_t SerialTransport::setLineRate(uint32_t bitsPerSecond)
{
    if (sp_set_baudrate(port_, static_cast<int>(bitsPerSecond)) != SP_OK)
        return READER_FAIL(READER_LINK_LOST, "serial line rate refused");
    lineRate_ = bitsPerSecond;
    return READER_OK;
}

void SerialTransport::discardInput()
{
    sp_flush(port_, SP_BUF_INPUT);
}

} // namespace readerlib
