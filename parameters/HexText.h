// Hexadecimal text and bytes: the one conversion every part uses, the
// profiles' hex values and the page fields that hold hexadecimal digits alike.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// {0xA1, 0x05} -> "A105": two upper-case digits a byte.
std::string hexText(const std::vector<uint8_t>& bytes);

// What an odd last digit of a hexadecimal text means.
enum class OddDigit {
    Refuse,      // the text gives no bytes (a profile's value must be whole bytes)
    Drop,        // ignored: "0AFF1" gives 0A FF (a page's code and match fields)
    LowNibble,   // a byte of its own: "F" gives 0F (a MAC address field)
};

// "A1B2" -> {0xA1, 0xB2}, high nibble first; nothing when a character is no
// hexadecimal digit. An empty text gives no bytes.
std::optional<std::vector<uint8_t>> bytesFromHex(std::string_view text, OddDigit odd);
