// Every page field that has an input rule, by its objectName, with its rule.
// A field bound to a parameter takes from it what the parameter says (a number
// field's upper limit, a code field's length); the row keeps what it cannot
// say: the keystroke filter, a length of the field's own, what an emptied
// field shows, a replacement text of the field's own.
#pragma once

#include "ParaTable.h"
#include "RangeRule.h"
#include "StartFrequencyRule.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

enum class CharacterFilter { Digits, Hex };

struct FieldRule {
    std::string_view name;
    CharacterFilter filter;
    int maxLength;                     // 0: no limit of its own
    const Para* para = nullptr;        // the parameter the field is bound to
    std::optional<RangeLimits> range;  // the change rule, if the field has one
    bool startFrequency = false;       // checked when the operator leaves the field
};

namespace fieldRuleDetail {
// A number field: its upper limit is the maximum of the parameter it is bound
// to (an address field's, each part's); a larger number becomes that maximum,
// or outOfRangeText where the field has its own. emptiedText: what a text that
// is no number becomes, nullptr where it stays for the routine to stop at.
constexpr FieldRule numberRule(std::string_view name, int maxLength, const Para& para, const char* emptiedText,
                               const char* outOfRangeText = nullptr)
{
    if (para.kind != ValueKind::Byte && para.kind != ValueKind::Word && para.kind != ValueKind::Ipv4)
        throw "a number field's parameter must be a number";
    return FieldRule{name, CharacterFilter::Digits, maxLength, &para,
                     RangeLimits{para.max, outOfRangeText, emptiedText}};
}

// A field of hexadecimal pairs holding the parameter's bytes, or just one of
// them (a field a byte).
constexpr FieldRule hexRule(std::string_view name, const Para& para, bool oneByte = false)
{
    if (para.kind != ValueKind::HexBytes)
        throw "a hex field's parameter must be hex bytes";
    return FieldRule{name, CharacterFilter::Hex, 2 * (oneByte ? 1 : para.readLength), &para};
}
} // namespace fieldRuleDetail

inline constexpr std::array fieldRules = [] {
    using namespace fieldRuleDetail;
    using enum Page;
    constexpr int none = 0;
    constexpr bool oneByte = true;
    return std::array{
        // Work mode: timer and trigger.
        numberRule("Edit7", none, paraNamed(Reader, "timer_interval"), "10"),
        numberRule("Edit70", none, paraNamed(Reader, "flush_time"), "8", "8"),
        numberRule("Edit4", none, paraNamed(Reader, "trigger_auto_delay_off"), "10"),
        // Other functions: off-line interval, ID feature match value.
        numberRule("Edit72", 5, paraNamed(Reader, "offline_interval"), "65535"),
        hexRule("Edit6", paraNamed(Reader, "id_feature_value")),
        // Communication port: Wiegand and RS-485.
        numberRule("Edit1", none, paraNamed(CommunicationPort, "wiegand_pulse_width"), "8"),
        numberRule("Edit2", none, paraNamed(CommunicationPort, "wiegand_pulse_period"), "12"),
        numberRule("Edit3", none, paraNamed(CommunicationPort, "reader_number"), "0"),
        // Communication port: TCP/IP address, subnet, gateway, client address.
        numberRule("Edit98", 3, paraNamed(CommunicationPort, "ip_address"), "255"),
        numberRule("Edit99", 3, paraNamed(CommunicationPort, "ip_address"), "255"),
        numberRule("Edit100", 3, paraNamed(CommunicationPort, "ip_address"), "255"),
        numberRule("Edit101", 3, paraNamed(CommunicationPort, "ip_address"), "255"),
        numberRule("Edit102", 3, paraNamed(CommunicationPort, "subnet_mask"), "255"),
        numberRule("Edit103", 3, paraNamed(CommunicationPort, "subnet_mask"), "255"),
        numberRule("Edit104", 3, paraNamed(CommunicationPort, "subnet_mask"), "255"),
        numberRule("Edit105", 3, paraNamed(CommunicationPort, "subnet_mask"), "255"),
        numberRule("Edit106", 3, paraNamed(CommunicationPort, "gateway"), "255"),
        numberRule("Edit107", 3, paraNamed(CommunicationPort, "gateway"), "255"),
        numberRule("Edit108", 3, paraNamed(CommunicationPort, "gateway"), "255"),
        numberRule("Edit109", 3, paraNamed(CommunicationPort, "gateway"), "255"),
        numberRule("Edit110", 3, paraNamed(CommunicationPort, "server_ip_address"), "255"),
        numberRule("Edit111", 3, paraNamed(CommunicationPort, "server_ip_address"), "255"),
        numberRule("Edit112", 3, paraNamed(CommunicationPort, "server_ip_address"), "255"),
        numberRule("Edit113", 3, paraNamed(CommunicationPort, "server_ip_address"), "255"),
        // Ports are 16-bit: a larger number would be written wrapped.
        numberRule("Edit97", 5, paraNamed(CommunicationPort, "port"), nullptr),
        numberRule("Edit114", 5, paraNamed(CommunicationPort, "server_port"), nullptr),
        // MAC address: one byte per field.
        hexRule("Edit115", paraNamed(CommunicationPort, "mac_address"), oneByte),
        hexRule("Edit116", paraNamed(CommunicationPort, "mac_address"), oneByte),
        hexRule("Edit117", paraNamed(CommunicationPort, "mac_address"), oneByte),
        hexRule("Edit118", paraNamed(CommunicationPort, "mac_address"), oneByte),
        hexRule("Edit119", paraNamed(CommunicationPort, "mac_address"), oneByte),
        hexRule("Edit120", paraNamed(CommunicationPort, "mac_address"), oneByte),
        // Frequency plan: the start frequency is checked as the operator leaves it.
        FieldRule{"Edit75", CharacterFilter::Digits, none, &startFrequency::para, std::nullopt, true},
        numberRule("Edit76", none, paraNamed(Frequency, "frequency_interval"), nullptr),
        numberRule("Edit77", none, paraNamed(Frequency, "frequency_points"), nullptr),
        // Frame format: preamble and end code, output interval.
        hexRule("Edit79", paraNamed(FrameFormat, "preamble_code")),
        hexRule("Edit80", paraNamed(FrameFormat, "end_code")),
        numberRule("Edit78", none, paraNamed(FrameFormat, "output_interval"), "65535"),
        // I/O: relay delays 1 to 4, ID match check interval.
        numberRule("Edit82", 3, paraNamed(IoParameter, "relay1_delay"), "255"),
        numberRule("Edit83", 3, paraNamed(IoParameter, "relay2_delay"), "255"),
        numberRule("Edit81", 3, paraNamed(IoParameter, "relay3_delay"), "255"),
        numberRule("Edit84", 3, paraNamed(IoParameter, "relay4_delay"), "255"),
        numberRule("Edit86", none, paraNamed(IoParameter, "id_match_check_interval"), "255"),
    };
}();

// The rule of the field called name, or nullptr.
constexpr const FieldRule* findFieldRule(std::string_view name)
{
    for (const FieldRule& rule : fieldRules)
        if (rule.name == name)
            return &rule;
    return nullptr;
}

namespace fieldRuleDetail {
// A replacement text must itself pass the rule, or replacing would never end;
// it must also fit the field and its filter.
constexpr bool isSettledText(const char* text, const FieldRule& rule)
{
    if (!text) {   // the upper limit's own digits
        int digits = 1;
        for (qint32 value = rule.range->upperLimit; value >= 10; value /= 10)
            ++digits;
        return rule.maxLength == 0 || digits <= rule.maxLength;
    }
    if (!*text)
        return false;
    long long value = 0;
    int length = 0;
    for (const char* c = text; *c; ++c, ++length) {
        if (*c < '0' || *c > '9')
            return false;
        value = value * 10 + (*c - '0');
        if (value > rule.range->upperLimit)
            return false;
    }
    return rule.maxLength == 0 || length <= rule.maxLength;
}

constexpr bool replacementsSettle()
{
    for (const FieldRule& rule : fieldRules) {
        if (!rule.range)
            continue;
        if (!isSettledText(rule.range->outOfRangeText, rule))
            return false;
        if (rule.range->notANumberText && !isSettledText(rule.range->notANumberText, rule))
            return false;
    }
    return true;
}

constexpr bool namesAreUnique()
{
    for (std::size_t i = 0; i < fieldRules.size(); ++i)
        for (std::size_t j = i + 1; j < fieldRules.size(); ++j)
            if (fieldRules[i].name == fieldRules[j].name)
                return false;
    return true;
}
} // namespace fieldRuleDetail

static_assert(fieldRuleDetail::replacementsSettle(), "a replacement text would not pass its own rule");
static_assert(fieldRuleDetail::namesAreUnique(), "a field has two rules");
