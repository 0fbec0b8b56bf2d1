// A reader behind a pseudo-terminal (the virtual reader, or a serial bridge
// that presents one). libserialport only opens terminals the kernel lists as
// serial ports, so this transport puts the terminal into raw mode itself, with
// the same line settings as a real serial port, and puts the terminal's own
// settings back on close.
#pragma once

#include "FdTransport.h"
#include "SavedLineSettings.h"
#include "SerialLine.h"

#include <memory>
#include <string>

namespace readerlib {

class PtyTransport final : public FdTransport {
public:
    // status is READER_OK, or READER_OPEN_FAILED with a null result (also for
    // a path that is not a terminal).
    static std::unique_ptr<PtyTransport> open(const std::string& path, uint16_t& status);
    ~PtyTransport() override { original_.restore(fd()); }
    void discardInput() override;
    uint16_t setLineRate(uint32_t bitsPerSecond) override;

private:
    explicit PtyTransport(int fd) : FdTransport(fd, false) { lineRate_ = kSerialBaudRate; }
    SavedLineSettings original_;
};

} // namespace readerlib
