// Conversions between a parameter's bytes and the value a person reads: 92000
// for the start frequency's bytes 0x17 0x70, "27.5" for power code 10,
// ["antenna1", "antenna3"] for the mask 0x05.
#pragma once

#include "ParaTable.h"

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

// {0xA1, 0x05} -> "A105".
std::string hexText(const ParaBytes& bytes);
