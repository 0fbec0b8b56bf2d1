#include "ParaValue.h"

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

std::optional<int> hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return std::nullopt;
}

Bytes numberBytes(const Para& para, long long number)
{
    if (number < para.min || number > para.max)
        return Bytes::fail(std::to_string(number) + " is out of range " + std::to_string(para.min) + " to "
                           + std::to_string(para.max));
    if (para.kind == ValueKind::Byte)
        return Bytes::ok({static_cast<uint8_t>(number)});
    const long long stored = para.kind == ValueKind::StartFrequency ? number - startFrequencyBase : number;
    return Bytes::ok({static_cast<uint8_t>(stored >> 8), static_cast<uint8_t>(stored & 0xFF)});
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
    uint8_t byte = 0;
    for (const std::string& name : names) {
        const auto bit = std::find(para.bits.begin(), para.bits.end(), name);
        if (bit == para.bits.end())
            return Bytes::fail(quotedText(name) + " is none of its bits (" + joined(para.bits) + ")");
        byte |= static_cast<uint8_t>(1u << (bit - para.bits.begin()));
    }
    return Bytes::ok({byte});
}

Bytes channelBytes(const Para& para, const std::vector<long long>& channels)
{
    ParaBytes bytes(para.readLength, 0);
    const long long last = para.readLength * 8;
    for (long long channel : channels) {
        if (channel < 1 || channel > last)
            return Bytes::fail("channel " + std::to_string(channel) + " is out of range 1 to " + std::to_string(last));
        bytes[(channel - 1) / 8] |= static_cast<uint8_t>(1u << ((channel - 1) % 8));
    }
    return Bytes::ok(std::move(bytes));
}

Bytes hexBytes(const Para& para, const std::string& text)
{
    if (text.size() % 2 != 0)
        return Bytes::fail(quotedText(text) + " has an odd number of hexadecimal digits");
    ParaBytes bytes;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const auto high = hexDigit(text[i]);
        const auto low = hexDigit(text[i + 1]);
        if (!high || !low)
            return Bytes::fail(quotedText(text) + " is not hexadecimal digits");
        bytes.push_back(static_cast<uint8_t>(*high << 4 | *low));
    }
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

Bytes ipv4Bytes(const std::string& text)
{
    ParaBytes bytes;
    const char* at = text.data();
    const char* end = text.data() + text.size();
    while (bytes.size() < 4) {
        unsigned part = 256;
        const auto [next, error] = std::from_chars(at, end, part);
        if (error != std::errc() || part > 255 || next - at > 3)
            break;
        bytes.push_back(static_cast<uint8_t>(part));
        at = next;
        if (bytes.size() < 4) {
            if (at == end || *at != '.')
                break;
            ++at;
        }
    }
    if (bytes.size() != 4 || at != end)
        return Bytes::fail(quotedText(text) + " is not a dotted address like 192.168.1.200");
    return Bytes::ok(std::move(bytes));
}

template <typename T>
const T* as(const ParaValue& value)
{
    return std::get_if<T>(&value);
}

} // namespace

std::string hexText(const ParaBytes& bytes)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    for (uint8_t byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 0xF];
    }
    return text;
}

Converted<ParaValue> valueFromBytes(const Para& para, const ParaBytes& bytes)
{
    if (bytes.size() != para.readLength)
        return Value::fail(std::to_string(bytes.size()) + " bytes, not " + std::to_string(para.readLength));
    switch (para.kind) {
    case ValueKind::Byte:
        return Value::ok(static_cast<long long>(bytes[0]));
    case ValueKind::Word:
        return Value::ok(static_cast<long long>(bytes[0] * 256 + bytes[1]));
    case ValueKind::StartFrequency:
        return Value::ok(static_cast<long long>(startFrequencyBase + bytes[0] * 256 + bytes[1]));
    case ValueKind::Flag:
        return Value::ok(bytes[0] == 1);
    case ValueKind::Choice:
        for (const ParaChoice& choice : para.choices)
            if (choice.code == bytes[0])
                return Value::ok(std::string(choice.text));
        return Value::fail("the reader holds " + std::to_string(bytes[0]) + ", which is none of " + choiceList(para));
    case ValueKind::Mask: {
        std::vector<std::string> names;
        for (std::size_t bit = 0; bit < para.bits.size(); ++bit)
            if (bytes[0] >> bit & 1)
                names.emplace_back(para.bits[bit]);
        return Value::ok(std::move(names));
    }
    case ValueKind::ChannelMask: {
        std::vector<long long> channels;
        for (std::size_t i = 0; i < bytes.size() * 8; ++i)
            if (bytes[i / 8] >> (i % 8) & 1)
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
            return numberBytes(para, *number);
        return wrongKind();
    case ValueKind::Flag:
        if (const auto* on = as<bool>(value))
            return Bytes::ok({static_cast<uint8_t>(*on ? 1 : 0)});
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
            return ipv4Bytes(*text);
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
