// Opens the port a reader is reached on, named as OpenReader names it: a
// port kind and its text. The device library opens its links through this;
// tagdesk-cli monitor opens a reader's port the same way to hear its tag output.
#pragma once

#include "Transport.h"

#include <cstdint>
#include <memory>

namespace readerlib {

// portKind READER_PORT_SERIAL ("COM1".."COM255", mapped by READER_COMn),
// READER_PORT_TCP (a dotted IPv4 address with an optional ":PORT", else
// READER_TCP_PORT or 4001) or READER_PORT_USB (portText unused; READER_USB or
// the first USB serial port). status is READER_OK, or why not with a null result.
std::unique_ptr<Transport> openTransport(uint8_t portKind, const char* portText, uint16_t& status);

} // namespace readerlib
