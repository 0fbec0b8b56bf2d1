// The channels a reader works on lie within its frequency plan: fixed on
// channel n (channel_mode n), n is one of 1..frequency_points; hopping
// (channel_mode 0), so is every channel of hopping_channels. One rule for what
// a profile may say, what a read may save and what a write may leave behind.
#pragma once

#include "Profile.h"

#include <array>
#include <optional>
#include <string>

struct PlanBreach {
    const ProfileEntry* entry;   // channel_mode or hopping_channels
    std::string reason;          // "fixed on channel 30 of a plan of 20 channels"
};

// The parameters the rule reads: frequency_points, channel_mode, hopping_channels.
const std::array<const Para*, 3>& channelPlanParas();

// Where profile breaks the rule. Without frequency_points nothing is judged (the
// plan is then the reader's); without channel_mode the hopping channels are
// judged, as they may be the ones the reader hops over.
std::optional<PlanBreach> channelOutsidePlan(const Profile& profile);
