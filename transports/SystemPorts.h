// What differs between the systems the library runs on: the names the system
// gives its serial ports, and how it opens a link to a reader. One file a
// system implements this (SystemPortsPosix.cpp, SystemPortsWindows.cpp),
// chosen by the build; everything above it is shared.
#pragma once

#include "Transport.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace readerlib {

// The system's own device of serial port "COM<number>": /dev/ttyS<number-1>
// on Linux, \\.\COM<number> on Windows.
std::string systemSerialPort(int number);

// The first USB serial port the system lists; nullopt when there is none.
std::optional<std::string> firstUsbSerialPort();

// Opens the serial device at path: a serial port, or on Linux also a
// pseudo-terminal. status is READER_OK, or why it failed with a null result.
std::unique_ptr<Transport> openSerialDevice(const std::string& path, uint16_t& status);

// Connects to address:port (host byte order) within connectTimeoutMs.
// status is READER_OK, or READER_OPEN_FAILED with a null result.
std::unique_ptr<Transport> connectTcp(uint32_t address, uint16_t port, int connectTimeoutMs, uint16_t& status);

} // namespace readerlib
