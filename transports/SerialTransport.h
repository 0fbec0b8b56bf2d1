// A reader on a serial port (RS-232, RS-485 adapter or USB serial), opened and
// set up through libserialport: 115200 baud, 8N1, no flow control. Closing
// puts back the settings the port had before.
#pragma once

#include "SavedLineSettings.h"
#include "SerialLine.h"
#include "Transport.h"

#include <memory>
#include <string>

struct sp_port;

namespace readerlib {

class SerialTransport final : public Transport {
public:
    // status is READER_OK, or READER_OPEN_FAILED with a null result. A path
    // that libserialport does not know as a serial port gives a null result
    // with status READER_OPEN_FAILED and knownPort false.
    static std::unique_ptr<SerialTransport> open(const std::string& path, uint16_t& status, bool& knownPort);
    ~SerialTransport() override;

    uint16_t send(const uint8_t* data, std::size_t size) override;
    uint16_t receive(uint8_t* buffer, std::size_t capacity, int timeoutMs, std::size_t& received) override;
    void discardInput() override;
    uint16_t setLineRate(uint32_t bitsPerSecond) override;

private:
    explicit SerialTransport(sp_port* port) : port_(port) { lineRate_ = kSerialBaudRate; }
    sp_port* port_;
    SavedLineSettings original_;
};

} // namespace readerlib
