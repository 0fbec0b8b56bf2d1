// Text from a file made safe to print in a message: a profile's key or value
// can hold control characters, terminal escape sequences, line breaks or NUL,
// which would drive the terminal, forge an output line or cut a message short.
#pragma once

#include <string>
#include <string_view>

// text with every character that is not plainly printable written as an
// escape: \n, \r, \t, \\, \", \x1B for other control bytes and bytes that are no
// UTF-8, \u0085 for Unicode's invisible controls (C1, line separators, bidi marks).
std::string escapedText(std::string_view text);

// escapedText between double quotes: "27.5".
std::string quotedText(std::string_view text);
