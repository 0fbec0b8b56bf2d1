// Text from a file, or bytes from a device, made safe to print in a message: a
// profile's key or value, or what a reader sent, can hold control characters,
// terminal escape sequences, line breaks or NUL, which would drive the
// terminal, forge an output line or cut a message short.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// text with every character that is not plainly printable written as an
// escape: \n, \r, \t, \\, \", \x1B for other control bytes and bytes that are no
// UTF-8, \u0085 for Unicode's invisible controls (C1, line separators, bidi marks).
std::string escapedText(std::string_view text);

// escapedText between double quotes: "27.5".
std::string quotedText(std::string_view text);

// Bytes a device sent, which need not be text at all: printable ASCII as it
// is, the backslash as \\, every other byte as \xNN: 02 30 41 0D 0A gives
// \x020A\x0D\x0A.
std::string escapedBytes(std::span<const uint8_t> bytes);
