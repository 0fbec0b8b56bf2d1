#include "PrintableText.h"

#include <cstdint>
#include <cstdio>

namespace {

// The code point of the UTF-8 sequence at text[at] and its length; length 0
// for a byte that starts no well-formed sequence.
struct Decoded {
    char32_t point = 0;
    std::size_t length = 0;
};

Decoded decode(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<uint8_t>(text[at + i]); };
    const uint8_t lead = byte(0);
    if (lead < 0x80)
        return {lead, 1};
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || at + length > text.size())
        return {};
    char32_t point = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return {};
        point = point << 6 | (byte(i) & 0x3F);
    }
    constexpr char32_t shortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (point < shortest[length] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))
        return {};
    return {point, length};
}

// Unicode's controls a terminal acts on or that reorder or break a line unseen.
bool invisible(char32_t point)
{
    return (point >= 0x80 && point <= 0x9F) || point == 0x200E || point == 0x200F
        || (point >= 0x2028 && point <= 0x202E) || (point >= 0x2066 && point <= 0x2069);
}

std::string hexEscape(const char* format, unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

std::string escapedText(std::string_view text)
{
    std::string printable;
    for (std::size_t at = 0; at < text.size();) {
        const Decoded next = decode(text, at);
        if (next.length == 0) {
            printable += hexEscape("\\x%02X", static_cast<uint8_t>(text[at++]));
            continue;
        }
        switch (next.point) {
        case '\n': printable += "\\n"; break;
        case '\r': printable += "\\r"; break;
        case '\t': printable += "\\t"; break;
        case '\\': printable += "\\\\"; break;
        case '"': printable += "\\\""; break;
        default:
            if (next.point < 0x20 || next.point == 0x7F)
                printable += hexEscape("\\x%02X", static_cast<unsigned>(next.point));
            else if (invisible(next.point))
                printable += hexEscape("\\u%04X", static_cast<unsigned>(next.point));
            else
                printable.append(text.substr(at, next.length));
        }
        at += next.length;
    }
    return printable;
}

std::string quotedText(std::string_view text)
{
    return "\"" + escapedText(text) + "\"";
}

std::string escapedBytes(std::span<const uint8_t> bytes)
{
    std::string printable;
    for (const uint8_t byte : bytes) {
        if (byte == '\\')
            printable += "\\\\";
        else if (byte >= 0x20 && byte < 0x7F)
            printable += char(byte);
        else
            printable += hexEscape("\\x%02X", byte);
    }
    return printable;
}
