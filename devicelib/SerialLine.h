// The reader's serial line settings, the same for every serial transport.
#pragma once

namespace readerlib {

constexpr int kSerialBaudRate = 115200;   // 8 data bits, no parity, 1 stop bit, no flow control
constexpr int kSerialWriteTimeoutMs = 1000;

} // namespace readerlib
