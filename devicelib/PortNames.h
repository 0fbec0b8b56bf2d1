// Turns OpenReader's port texts into something a transport can open: a
// "COMn" name into a device path, an address text into an IPv4 address, and
// the environment's overrides into ports and paths.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace readerlib {

// "COM1" -> READER_COM1 if set, else /dev/ttyS0. nullopt for anything but
// "COM" followed by a number from 1 to 255.
std::optional<std::string> serialDevicePath(const char* portText);

// The USB serial port: READER_USB if set, else the first USB port the system
// lists; nullopt when there is none.
std::optional<std::string> usbDevicePath();

// A dotted IPv4 address of exactly four decimal parts 0..255, in host byte
// order; nullopt for anything else ("", "1.2.3", "999.1.1.1", " 1.2.3.4").
std::optional<uint32_t> parseIPv4(const char* text);

// The reader's TCP port: READER_TCP_PORT if it holds 1..65535, else 4001.
uint16_t tcpPort();

} // namespace readerlib
