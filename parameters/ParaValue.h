// Conversions between a parameter's bytes and the value a person reads: 92000
// for the start frequency's bytes 0x17 0x70, "27.5" for power code 10,
// ["antenna1", "antenna3"] for the mask 0x05.
#pragma once

#include "ParaTable.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

using ParaBytes = std::vector<uint8_t>;

// bool: Flag. long long: Byte, Word, StartFrequency. string: Choice, HexBytes,
// Ipv4. list of names: Mask (set bits). list of numbers: ChannelMask.
using ParaValue = std::variant<bool, long long, std::string, std::vector<std::string>, std::vector<long long>>;

// A conversion's outcome: the result, or why there is none (a sentence without the parameter's name).
template <typename T>
struct Converted {
    std::optional<T> result;
    std::string error;

    static Converted ok(T value) { return Converted{std::move(value), {}}; }
    static Converted fail(std::string why) { return Converted{std::nullopt, std::move(why)}; }
    explicit operator bool() const { return result.has_value(); }
};

// The value of bytes read from the reader (the parameter's full read length).
// Fails only where the bytes name nothing the parameter knows (a choice code
// without a setting); a number outside the range a write may carry is still
// given, so that what the reader holds is shown as it is.
Converted<ParaValue> valueFromBytes(const Para& para, const ParaBytes& bytes);

// The bytes a write of value carries. A value of variable length (a code of
// writeMin..writeMax bytes) is followed by the parameter's fill up to its full
// read length, so the write leaves nothing of an older, longer value and reads
// back as written. Fails for a value of the wrong kind, outside the parameter's
// range, or a name it does not know.
Converted<ParaBytes> bytesFromValue(const Para& para, const ParaValue& value);

// The value as a person reads it in a list of differences: 92000, "27.5", [antenna1, antenna3].
std::string valueText(const ParaValue& value);

// A word naming the value kind a parameter takes, for messages: "a whole number 5 to 100".
std::string expectedValue(const Para& para);

// ---- One conversion a kind, for a profile's value and a page's control alike.
// Where the two take a value differently, a policy says which way.

// What a number outside the range of a parameter's bytes becomes.
enum class OutOfRange {
    Refuse,    // no bytes: a profile's value outside the parameter's min..max
    LowBits,   // the low bits the bytes hold: a page field's number (300 in one byte is 44)
};

// Byte, Word, StartFrequency: the bytes of number, high byte first (the start
// frequency as its offset above startFrequencyBase).
Converted<ParaBytes> numberBytes(const Para& para, long long number, OutOfRange policy);

// Byte, Word, StartFrequency: the number the parameter's bytes hold.
long long numberFromBytes(const Para& para, const ParaBytes& bytes);

// Ipv4: the four parts in dotted order, one byte each (Refuse: a part outside 0..255).
Converted<ParaBytes> ipv4Bytes(const std::array<long long, 4>& parts, OutOfRange policy);

// Flag: 1 on, 0 off; on exactly when the byte read is 1.
ParaBytes flagBytes(bool on);
bool flagFromBytes(const ParaBytes& bytes);

// Choice, and a Byte offered as a list of its numbers from its minimum: the
// settings in order, position i standing for the code first + i.
uint8_t codeAtPosition(const Para& para, int position);

// A Choice of two settings (a check box, a pair of radio buttons): which of
// them a byte read stands for.
enum class SecondSetting {
    WhenBitZero,   // bit 0 set: the reader looks at bit 0 alone (client mode, timing output)
    AtItsCode,     // exactly the second setting's code
};
bool isSecondSetting(const Para& para, uint8_t code, SecondSetting policy);

// Where a code past the last of a list's positions points.
enum class PastLast {
    None,   // nowhere: the list shows no selection (a drop-down list, a radio set)
    Last,   // the last position (a radio group, whose index stops at its last item)
};

// The position of code among count positions, -1 for none (a code below the first is always none).
int positionOfCode(const Para& para, uint8_t code, int count, PastLast policy);

// Mask and ChannelMask: bit i is bit i % 8 of byte i / 8 (a Mask's bit i is its
// i-th name, a ChannelMask's bit n - 1 its channel n). Bits past the bytes read
// as clear and are not set.
bool maskBit(const ParaBytes& bytes, std::size_t bit);
void setMaskBit(ParaBytes& bytes, std::size_t bit);

// HexBytes: how many of the bytes read make the value: all of them, but for a
// parameter written shorter than it is read, those before the first fill byte.
std::size_t hexValueLength(const Para& para, const ParaBytes& bytes);
