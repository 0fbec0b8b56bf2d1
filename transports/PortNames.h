// Turns OpenReader's port names into something a transport can open: a
// "COMn" name into a device path, and the environment's overrides into ports
// and paths. The names themselves are parsed by ports/PortName.h.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace readerlib {

// "COM1" -> READER_COM1 if set, else the system's own port (/dev/ttyS0 on
// Linux, \\.\COM1 on Windows). nullopt for anything but
// "COM" (any case) followed by a number from 1 to 255.
std::optional<std::string> serialDevicePath(const char* portText);

// The USB serial port: READER_USB if set, else the first USB port the system
// lists; nullopt when there is none.
std::optional<std::string> usbDevicePath();

// The reader's TCP port when the address text names none: READER_TCP_PORT if
// it holds 1..65535, else 4001.
uint16_t tcpPort();

} // namespace readerlib
