// Every page field that has an input rule, by its objectName, with its rule.
#pragma once

#include "RangeRule.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

enum class CharacterFilter { Digits, Hex };

struct FieldRule {
    std::string_view name;
    CharacterFilter filter;
    int maxLength;                     // 0: no limit of its own
    std::optional<RangeLimits> range;  // the change rule, if the field has one
    bool startFrequency = false;       // checked when the operator leaves the field
};

namespace fieldRuleDetail {
constexpr RangeLimits byteLimits(const char* notANumberText)
{
    return RangeLimits{255, "255", notANumberText};
}
// Shared by the TCP/IP addresses, the relay delays and the match check interval.
constexpr RangeLimits sharedByteRule{255, "255", "255"};
} // namespace fieldRuleDetail

inline constexpr std::array fieldRules = [] {
    using fieldRuleDetail::byteLimits;
    using fieldRuleDetail::sharedByteRule;
    constexpr auto D = CharacterFilter::Digits;
    constexpr auto H = CharacterFilter::Hex;
    constexpr int none = 0;
    return std::array{
        // Work mode: timer and trigger.
        FieldRule{"Edit7", D, none, byteLimits("10")},
        FieldRule{"Edit70", D, none, RangeLimits{65535, "8", "8"}},
        FieldRule{"Edit4", D, none, byteLimits("10")},
        // Other functions: off-line interval, ID feature match value.
        FieldRule{"Edit72", D, 5, RangeLimits{65535, "65535", "65535"}},
        FieldRule{"Edit6", H, 12, std::nullopt},
        // Communication port: Wiegand and RS-485.
        FieldRule{"Edit1", D, none, byteLimits("8")},
        FieldRule{"Edit2", D, none, byteLimits("12")},
        FieldRule{"Edit3", D, none, byteLimits("0")},
        // Communication port: TCP/IP address, subnet, gateway, client address.
        FieldRule{"Edit98", D, 3, sharedByteRule},
        FieldRule{"Edit99", D, 3, sharedByteRule},
        FieldRule{"Edit100", D, 3, sharedByteRule},
        FieldRule{"Edit101", D, 3, sharedByteRule},
        FieldRule{"Edit102", D, 3, sharedByteRule},
        FieldRule{"Edit103", D, 3, sharedByteRule},
        FieldRule{"Edit104", D, 3, sharedByteRule},
        FieldRule{"Edit105", D, 3, sharedByteRule},
        FieldRule{"Edit106", D, 3, sharedByteRule},
        FieldRule{"Edit107", D, 3, sharedByteRule},
        FieldRule{"Edit108", D, 3, sharedByteRule},
        FieldRule{"Edit109", D, 3, sharedByteRule},
        FieldRule{"Edit110", D, 3, sharedByteRule},
        FieldRule{"Edit111", D, 3, sharedByteRule},
        FieldRule{"Edit112", D, 3, sharedByteRule},
        FieldRule{"Edit113", D, 3, sharedByteRule},
        // Ports are 16-bit: a larger number would be written wrapped.
        FieldRule{"Edit97", D, 5, RangeLimits{65535, "65535", nullptr}},
        FieldRule{"Edit114", D, 5, RangeLimits{65535, "65535", nullptr}},
        // MAC address: one byte per field, two hexadecimal digits.
        FieldRule{"Edit115", H, 2, std::nullopt},
        FieldRule{"Edit116", H, 2, std::nullopt},
        FieldRule{"Edit117", H, 2, std::nullopt},
        FieldRule{"Edit118", H, 2, std::nullopt},
        FieldRule{"Edit119", H, 2, std::nullopt},
        FieldRule{"Edit120", H, 2, std::nullopt},
        // Frequency plan: the interval and the point count are one byte each.
        FieldRule{"Edit75", D, none, std::nullopt, true},
        FieldRule{"Edit76", D, none, RangeLimits{255, "255", nullptr}},
        FieldRule{"Edit77", D, none, RangeLimits{255, "255", nullptr}},
        // Frame format: preamble and end code (4 bytes each), output interval.
        FieldRule{"Edit79", H, 8, std::nullopt},
        FieldRule{"Edit80", H, 8, std::nullopt},
        FieldRule{"Edit78", D, none, RangeLimits{65535, "65535", "65535"}},
        // I/O: relay delays 1 to 4, ID match check interval.
        FieldRule{"Edit82", D, 3, sharedByteRule},
        FieldRule{"Edit83", D, 3, sharedByteRule},
        FieldRule{"Edit81", D, 3, sharedByteRule},
        FieldRule{"Edit84", D, 3, sharedByteRule},
        FieldRule{"Edit86", D, none, sharedByteRule},
    };
}();

namespace fieldRuleDetail {
// A replacement text must itself pass the rule, or replacing would never end;
// it must also fit the field and its filter.
constexpr bool isSettledText(const char* text, const FieldRule& rule)
{
    if (!text || !*text)
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
