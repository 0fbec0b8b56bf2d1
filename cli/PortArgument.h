// Which reader a --port names: "COM1".."COM8", "usb", "tcp:ADDRESS[:PORT]",
// parsed as the device library parses its port texts (ports/PortName.h); and
// the ports scan looks at: an address range, or this machine's own ports.
#pragma once

#include "PortName.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct PortArgument {
    std::string label;     // as the operator wrote it, for progress lines and the summary
    uint8_t kind = 0;      // READER_PORT_SERIAL, READER_PORT_TCP or READER_PORT_USB
    std::string text;      // OpenReader's port text; empty for USB (passed as NULL)
    std::string reader;    // one spelling per reader: "COM3", "usb", "tcp:127.0.0.1:4001"
    std::string device;    // the device READER_COMn or READER_USB names for this port; "" when none does
};

// nullopt for anything else (COM9, tcp: without an address, an address part
// over 255, a port over 65535, a range, ...).
std::optional<PortArgument> parsePort(const std::string& text);

// Every address of range as a port, labelled as a --port would name it
// ("tcp:192.168.1.7", "tcp:192.168.1.7:5000"), in address order.
std::vector<PortArgument> rangePorts(const ports::TcpRange& range);

// The serial ports COM1 .. COM8 and the USB port: where a reader on this machine's own lines is.
std::vector<PortArgument> localPorts();

// OpenReader on port: its text, or NULL for USB.
uint16_t openReader(const PortArgument& port, uint32_t& handle);

// Why openReader gave status, as a person can act on it: "connection refused",
// "no route to host", "timed out after 2.5 s", "permission denied on
// /dev/ttyUSB0: add the user to the dialout group"; else what the status means.
std::string openFailure(uint16_t status, const PortArgument& port);
