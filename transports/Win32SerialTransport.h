// A reader on a Windows serial port (RS-232, RS-485 adapter or USB serial),
// \\.\COMn, through the Win32 communications API: 115200 baud, 8N1, no flow
// control. Closing puts back the settings the port had before.
#pragma once

#include "SerialLine.h"
#include "Transport.h"

#include <memory>
#include <string>
#include <windows.h>

namespace readerlib {

class Win32SerialTransport final : public Transport {
public:
    // status is READER_OK, or READER_OPEN_FAILED with a null result.
    static std::unique_ptr<Win32SerialTransport> open(const std::string& path, uint16_t& status);
    ~Win32SerialTransport() override;

    uint16_t send(const uint8_t* data, std::size_t size) override;
    uint16_t receive(uint8_t* buffer, std::size_t capacity, int timeoutMs, std::size_t& received) override;
    void discardInput() override;
    uint16_t setLineRate(uint32_t bitsPerSecond) override;

private:
    Win32SerialTransport(HANDLE port, const DCB& originalLine, const COMMTIMEOUTS& originalTimeouts)
        : port_(port), originalLine_(originalLine), originalTimeouts_(originalTimeouts)
    {
        lineRate_ = kSerialBaudRate;
    }
    // Sets the port's read timeouts for a wait of waitMs (> 0), unless they are set so.
    bool waitOnReadFor(int waitMs);

    HANDLE port_;
    DCB originalLine_;
    COMMTIMEOUTS originalTimeouts_;
    int readWaitMs_ = -1;   // the wait the port's read timeouts are set to; -1 before the first read
};

} // namespace readerlib
