// One link to a reader, whatever carries it (serial port, pseudo-terminal,
// TCP). The link layer above only moves bytes through this interface; framing,
// sequence numbers and timeouts live in Link.
#pragma once

#include "SerialLine.h"

#include <cstddef>
#include <cstdint>

namespace readerlib {

class Transport {
public:
    virtual ~Transport() = default;

    // Sends all bytes; READER_OK or READER_LINK_LOST.
    virtual uint16_t send(const uint8_t* data, std::size_t size) = 0;

    // Waits up to timeoutMs (0: does not wait) for at least one byte and stores
    // what is there. received is 0 when nothing came in time. READER_OK, or
    // READER_LINK_LOST when the peer closed or the port failed.
    virtual uint16_t receive(uint8_t* buffer, std::size_t capacity, int timeoutMs, std::size_t& received) = 0;

    // Drops whatever the port still buffers on the way in (serial lines only).
    virtual void discardInput() {}

    // Follows the reader to a new line rate (bit/s) after it accepted Set baud
    // rate; a TCP link has no line rate. READER_OK or READER_LINK_LOST.
    virtual uint16_t setLineRate(uint32_t) { return 0; }

    // How long size bytes take on the line at its present rate; 0 for a link
    // without one.
    int lineTimeMs(std::size_t size) const { return lineRate_ == 0 ? 0 : readerlib::lineTimeMs(size, lineRate_); }

protected:
    // The line's present rate in bit/s, kept by the serial and terminal
    // transports; 0 for a link without one (TCP).
    uint32_t lineRate_ = 0;
};

} // namespace readerlib
