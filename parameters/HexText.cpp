#include "HexText.h"

namespace {
// The value of one hexadecimal digit ('0'-'9', 'A'-'F', 'a'-'f'), or nothing.
std::optional<uint8_t> hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return uint8_t(c - '0');
    if (c >= 'A' && c <= 'F')
        return uint8_t(c - 'A' + 10);
    if (c >= 'a' && c <= 'f')
        return uint8_t(c - 'a' + 10);
    return std::nullopt;
}
} // namespace

std::string hexText(const std::vector<uint8_t>& bytes)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    for (uint8_t byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 0xF];
    }
    return text;
}

std::optional<std::vector<uint8_t>> bytesFromHex(std::string_view text, OddDigit odd)
{
    if (text.size() % 2 != 0) {
        if (odd == OddDigit::Refuse)
            return std::nullopt;
        if (odd == OddDigit::Drop)
            text.remove_suffix(1);
    }
    std::vector<uint8_t> bytes;
    std::size_t i = 0;
    for (; i + 1 < text.size(); i += 2) {
        const auto high = hexDigit(text[i]);
        const auto low = hexDigit(text[i + 1]);
        if (!high || !low)
            return std::nullopt;
        bytes.push_back(uint8_t(*high << 4 | *low));
    }
    if (i < text.size()) {   // the lone last digit of OddDigit::LowNibble
        const auto low = hexDigit(text[i]);
        if (!low)
            return std::nullopt;
        bytes.push_back(*low);
    }
    return bytes;
}
