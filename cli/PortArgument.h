// Which reader a --port names: "COM1".."COM8", "usb", "tcp:ADDRESS".
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct PortArgument {
    std::string label;     // as the operator wrote it, for progress lines and the summary
    uint8_t kind = 0;      // READER_PORT_SERIAL, READER_PORT_TCP or READER_PORT_USB
    std::string text;      // OpenReader's port text; empty for USB (passed as NULL)
};

// nullopt for anything else (COM9, tcp: without an address, ...).
std::optional<PortArgument> parsePort(const std::string& text);
