// One byte from the text of one MAC address field: up to two hexadecimal
// digits, high nibble first.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// The value of one hexadecimal digit ("0"-"9", "A"-"F", "a"-"f"), or nothing.
std::optional<uint8_t> hexDigitValue(QChar c);

// "A1" gives 0xA1; one digit gives that digit's value ("F" gives 0x0F); further
// characters are ignored. An empty text or a non-hexadecimal character gives
// nothing, so nothing is written for the field.
std::optional<uint8_t> hexPairToByte(const QString& text);
