#include "ParaValue.h"

#include "HexText.h"
#include "PrintableText.h"

#include <algorithm>
#include <charconv>

namespace {

using Value = Converted<ParaValue>;
using Bytes = Converted<ParaBytes>;

std::string joined(std::span<const char* const> names)
{
    std::string text;
    for (const char* name : names)
        text += (text.empty() ? "" : ", ") + std::string(name);
    return text;
}

std::string choiceList(const Para& para)
{
    std::string text;
    for (const ParaChoice& choice : para.choices)
        text += (text.empty() ? "\"" : ", \"") + std::string(choice.text) + "\"";
    return text;
}

// The low 8 * count bits of value, high byte first.
ParaBytes bigEndian(long long value, int count)
{
    ParaBytes bytes(std::size_t(count), 0);
    for (int i = count - 1; i >= 0; --i, value >>= 8)
        bytes[std::size_t(i)] = static_cast<uint8_t>(value & 0xFF);
    return bytes;
}

Bytes choiceBytes(const Para& para, const std::string& text)
{
    for (const ParaChoice& choice : para.choices)
        if (text == choice.text)
            return Bytes::ok({choice.code});
    return Bytes::fail(quotedText(text) + " is none of " + choiceList(para));
}

Bytes maskBytes(const Para& para, const std::vector<std::string>& names)
{
    ParaBytes bytes(1, 0);
    for (const std::string& name : names) {
        const auto bit = std::find(para.bits.begin(), para.bits.end(), name);
        if (bit == para.bits.end())
            return Bytes::fail(quotedText(name) + " is none of its bits (" + joined(para.bits) + ")");
        setMaskBit(bytes, std::size_t(bit - para.bits.begin()));
    }
    return Bytes::ok(std::move(bytes));
}

Bytes channelBytes(const Para& para, const std::vector<long long>& channels)
{
    ParaBytes bytes(para.readLength, 0);
    const long long last = para.readLength * 8;
    for (long long channel : channels) {
        if (channel < 1 || channel > last)
            return Bytes::fail("channel " + std::to_string(channel) + " is out of range 1 to " + std::to_string(last));
        setMaskBit(bytes, std::size_t(channel - 1));
    }
    return Bytes::ok(std::move(bytes));
}

Bytes hexBytes(const Para& para, const std::string& text)
{
    if (text.size() % 2 != 0)
        return Bytes::fail(quotedText(text) + " has an odd number of hexadecimal digits");
    std::optional<ParaBytes> read = bytesFromHex(text, OddDigit::Refuse);
    if (!read)
        return Bytes::fail(quotedText(text) + " is not hexadecimal digits");
    ParaBytes bytes = std::move(*read);
    if (bytes.size() < para.writeMin || bytes.size() > para.writeMax) {
        const std::string count = para.writeMin == para.writeMax
            ? std::to_string(para.writeMin)
            : std::to_string(para.writeMin) + " to " + std::to_string(para.writeMax);
        return Bytes::fail(quotedText(text) + " is " + std::to_string(bytes.size()) + " bytes, not " + count);
    }
    // A shorter code ends with the field's fill, as the reader reads it back: "01"
    // after AABBCCDD must leave 01 FF FF FF, not 01 BB CC DD.
    bytes.resize(para.readLength, para.fill);
    return Bytes::ok(std::move(bytes));
}

Bytes ipv4Text(const std::string& text)
{
    std::array<long long, 4> parts{};
    std::size_t count = 0;
    const char* at = text.data();
    const char* end = text.data() + text.size();
    while (count < parts.size()) {
        unsigned part = 256;
        const auto [next, error] = std::from_chars(at, end, part);
        if (error != std::errc() || part > 255 || next - at > 3)
            break;
        parts[count++] = part;
        at = next;
        if (count < parts.size()) {
            if (at == end || *at != '.')
                break;
            ++at;
        }
    }
    if (count != parts.size() || at != end)
        return Bytes::fail(quotedText(text) + " is not a dotted address like 192.168.1.200");
    return ipv4Bytes(parts, OutOfRange::Refuse);
}

// The code of a list's first position: a Choice's first setting, a Byte's minimum.
int firstCode(const Para& para)
{
    return para.kind == ValueKind::Choice ? para.choices.front().code : para.min;
}

template <typename T>
const T* as(const ParaValue& value)
{
    return std::get_if<T>(&value);
}

} // namespace

Converted<ParaBytes> numberBytes(const Para& para, long long number, OutOfRange policy)
{
    if (policy == OutOfRange::Refuse && (number < para.min || number > para.max))
        return Bytes::fail(std::to_string(number) + " is out of range " + std::to_string(para.min) + " to "
                           + std::to_string(para.max));
    const long long stored = para.kind == ValueKind::StartFrequency ? number - startFrequencyBase : number;
    return Bytes::ok(bigEndian(stored, para.readLength));
}

long long numberFromBytes(const Para& para, const ParaBytes& bytes)
{
    long long number = 0;
    for (std::size_t i = 0; i < para.readLength; ++i)
        number = number * 256 + bytes.at(i);
    return para.kind == ValueKind::StartFrequency ? startFrequencyBase + number : number;
}

Converted<ParaBytes> ipv4Bytes(const std::array<long long, 4>& parts, OutOfRange policy)
{
    ParaBytes bytes;
    for (long long part : parts) {
        if (policy == OutOfRange::Refuse && (part < 0 || part > 255))
            return Bytes::fail(std::to_string(part) + " is out of range 0 to 255");
        bytes.push_back(static_cast<uint8_t>(part & 0xFF));
    }
    return Bytes::ok(std::move(bytes));
}

ParaBytes flagBytes(bool on)
{
    return {static_cast<uint8_t>(on ? 1 : 0)};
}

bool flagFromBytes(const ParaBytes& bytes)
{
    return bytes.at(0) == 1;
}

bool isSecondSetting(const Para& para, uint8_t code, SecondSetting policy)
{
    if (policy == SecondSetting::WhenBitZero)
        return (code & 1u) != 0;
    return para.choices.size() == 2 && code == para.choices[1].code;
}

uint8_t codeAtPosition(const Para& para, int position)
{
    return static_cast<uint8_t>(firstCode(para) + position);
}

int positionOfCode(const Para& para, uint8_t code, int count, PastLast policy)
{
    const int position = int(code) - firstCode(para);
    if (position < 0)
        return -1;
    if (position < count)
        return position;
    return policy == PastLast::Last ? count - 1 : -1;
}

bool maskBit(const ParaBytes& bytes, std::size_t bit)
{
    return bit / 8 < bytes.size() && (bytes[bit / 8] >> (bit % 8)) & 1u;
}

void setMaskBit(ParaBytes& bytes, std::size_t bit)
{
    if (bit / 8 < bytes.size())
        bytes[bit / 8] |= static_cast<uint8_t>(1u << (bit % 8));
}

std::size_t hexValueLength(const Para& para, const ParaBytes& bytes)
{
    if (para.writeMin == para.readLength)
        return bytes.size();
    return std::size_t(std::find(bytes.begin(), bytes.end(), para.fill) - bytes.begin());
}

Converted<ParaValue> valueFromBytes(const Para& para, const ParaBytes& bytes)
{
    if (bytes.size() != para.readLength)
        return Value::fail(std::to_string(bytes.size()) + " bytes, not " + std::to_string(para.readLength));
    switch (para.kind) {
    case ValueKind::Byte:
    case ValueKind::Word:
    case ValueKind::StartFrequency:
        return Value::ok(numberFromBytes(para, bytes));
    case ValueKind::Flag:
        return Value::ok(flagFromBytes(bytes));
    case ValueKind::Choice:
        for (const ParaChoice& choice : para.choices)
            if (choice.code == bytes[0])
                return Value::ok(std::string(choice.text));
        return Value::fail("the reader holds " + std::to_string(bytes[0]) + ", which is none of " + choiceList(para));
    case ValueKind::Mask: {
        std::vector<std::string> names;
        for (std::size_t bit = 0; bit < para.bits.size(); ++bit)
            if (maskBit(bytes, bit))
                names.emplace_back(para.bits[bit]);
        return Value::ok(std::move(names));
    }
    case ValueKind::ChannelMask: {
        std::vector<long long> channels;
        for (std::size_t i = 0; i < bytes.size() * 8; ++i)
            if (maskBit(bytes, i))
                channels.push_back(static_cast<long long>(i + 1));
        return Value::ok(std::move(channels));
    }
    case ValueKind::HexBytes:
        return Value::ok(hexText(bytes));
    case ValueKind::Ipv4:
        return Value::ok(std::to_string(bytes[0]) + "." + std::to_string(bytes[1]) + "." + std::to_string(bytes[2])
                         + "." + std::to_string(bytes[3]));
    }
    return Value::fail("no conversion for this kind");
}

Converted<ParaBytes> bytesFromValue(const Para& para, const ParaValue& value)
{
    const auto wrongKind = [&] { return Bytes::fail("takes " + expectedValue(para)); };
    switch (para.kind) {
    case ValueKind::Byte:
    case ValueKind::Word:
    case ValueKind::StartFrequency:
        if (const auto* number = as<long long>(value))
            return numberBytes(para, *number, OutOfRange::Refuse);
        return wrongKind();
    case ValueKind::Flag:
        if (const auto* on = as<bool>(value))
            return Bytes::ok(flagBytes(*on));
        return wrongKind();
    case ValueKind::Choice:
        if (const auto* text = as<std::string>(value))
            return choiceBytes(para, *text);
        return wrongKind();
    case ValueKind::Mask:
        if (const auto* names = as<std::vector<std::string>>(value))
            return maskBytes(para, *names);
        return wrongKind();
    case ValueKind::ChannelMask:
        if (const auto* channels = as<std::vector<long long>>(value))
            return channelBytes(para, *channels);
        // An empty list has no element to tell its kind by.
        if (const auto* names = as<std::vector<std::string>>(value); names && names->empty())
            return channelBytes(para, {});
        return wrongKind();
    case ValueKind::HexBytes:
        if (const auto* text = as<std::string>(value))
            return hexBytes(para, *text);
        return wrongKind();
    case ValueKind::Ipv4:
        if (const auto* text = as<std::string>(value))
            return ipv4Text(*text);
        return wrongKind();
    }
    return wrongKind();
}

std::string valueText(const ParaValue& value)
{
    struct Text {
        std::string operator()(bool on) const { return on ? "true" : "false"; }
        std::string operator()(long long number) const { return std::to_string(number); }
        std::string operator()(const std::string& text) const { return quotedText(text); }
        std::string operator()(const std::vector<std::string>& names) const
        {
            std::string text;
            for (const std::string& name : names)
                text += (text.empty() ? "" : ", ") + quotedText(name);
            return "[" + text + "]";
        }
        std::string operator()(const std::vector<long long>& numbers) const
        {
            std::string text;
            for (long long number : numbers)
                text += (text.empty() ? "" : ", ") + std::to_string(number);
            return "[" + text + "]";
        }
    };
    return std::visit(Text{}, value);
}

std::string expectedValue(const Para& para)
{
    switch (para.kind) {
    case ValueKind::Byte:
    case ValueKind::Word:
    case ValueKind::StartFrequency:
        return "a whole number " + std::to_string(para.min) + " to " + std::to_string(para.max);
    case ValueKind::Flag:
        return "true or false";
    case ValueKind::Choice:
        return "one of " + choiceList(para);
    case ValueKind::Mask:
        return "a list of bit names from " + joined(para.bits);
    case ValueKind::ChannelMask:
        return "a list of channel numbers 1 to " + std::to_string(para.readLength * 8);
    case ValueKind::HexBytes:
        return para.writeMin == para.writeMax
            ? "a text of " + std::to_string(para.writeMin * 2) + " hexadecimal digits"
            : "a text of " + std::to_string(para.writeMin * 2) + " to " + std::to_string(para.writeMax * 2)
                + " hexadecimal digits";
    case ValueKind::Ipv4:
        return "a dotted address text";
    }
    return "a value";
}
