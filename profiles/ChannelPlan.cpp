#include "ChannelPlan.h"

namespace {
constexpr const Para& pointsPara = paraNamed(Page::Frequency, "frequency_points");
constexpr const Para& modePara = paraNamed(Page::Frequency, "channel_mode");
constexpr const Para& hoppingPara = paraNamed(Page::Frequency, "hopping_channels");

std::string plan(long long count)
{
    return " of a plan of " + std::to_string(count) + " channels";
}
} // namespace

const std::array<const Para*, 3>& channelPlanParas()
{
    static const std::array<const Para*, 3> paras{&pointsPara, &modePara, &hoppingPara};
    return paras;
}

std::optional<PlanBreach> channelOutsidePlan(const Profile& profile)
{
    const ProfileEntry* points = profile.find(pointsPara);
    if (!points)
        return std::nullopt;
    const long long count = std::get<long long>(points->value);
    const ProfileEntry* mode = profile.find(modePara);
    const long long fixed = mode ? std::get<long long>(mode->value) : 0;
    if (fixed > count)
        return PlanBreach{mode, "fixed on channel " + std::to_string(fixed) + plan(count)};
    const ProfileEntry* hopping = profile.find(hoppingPara);
    const auto* channels = hopping ? std::get_if<std::vector<long long>>(&hopping->value) : nullptr;
    if (fixed > 0 || !channels)
        return std::nullopt;   // fixed: the hopping channels wait unused
    std::string outside;
    for (const long long channel : *channels)
        if (channel > count)
            outside += (outside.empty() ? "" : ", ") + std::to_string(channel);
    if (outside.empty())
        return std::nullopt;
    return PlanBreach{hopping, "hops over channel(s) " + outside + plan(count)};
}
