// Where two profiles, or a profile and what a reader holds, disagree.
#pragma once

#include "Profile.h"

#include <string>
#include <vector>

struct ValueDifference {
    std::string name;    // "antenna_power.channel1_power"
    std::string left;    // the value as a person reads it, or "(absent)"
    std::string right;
};

// Every parameter whose values differ or that only one of the two gives, in table order.
std::vector<ValueDifference> profileDifferences(const Profile& left, const Profile& right);
