// The reader's serial line settings, the same for every serial transport.
#pragma once

#include <cstddef>
#include <cstdint>

namespace readerlib {

constexpr int kSerialBaudRate = 115200;   // 8 data bits, no parity, 1 stop bit, no flow control

// How long size bytes take on the line at bitsPerSecond: ten bits a byte
// (start, eight data, stop), in whole milliseconds rounded up.
constexpr int lineTimeMs(std::size_t size, uint32_t bitsPerSecond)
{
    return static_cast<int>((size * 10 * 1000 + bitsPerSecond - 1) / bitsPerSecond);
}

} // namespace readerlib
