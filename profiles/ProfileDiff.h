// Where two profiles, or a profile and what a reader holds, disagree.
#pragma once

#include "Profile.h"

#include <optional>
#include <string>
#include <vector>

struct ValueDifference {
    std::string name;    // "antenna_power.channel1_power"
    std::string left;    // the value as a person reads it, or "(absent)"
    std::string right;
    // The same for programs: the values themselves, none where a profile gives none ...
    std::optional<ParaValue> leftValue;
    std::optional<ParaValue> rightValue;
    // ... or where a reader's bytes read as no value other than the profile's:
    // then the field in hexadecimal ("01BBCCDD"), as right shows it.
    std::string rightBytes;
};

// Every parameter whose values differ or that only one of the two gives, in table order.
std::vector<ValueDifference> profileDifferences(const Profile& left, const Profile& right);
