#include "NearNames.h"

#include <algorithm>

namespace {

// Edits from a to b: a character inserted, deleted, replaced, or two neighbours swapped.
std::size_t editDistance(std::string_view a, std::string_view b)
{
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i)
        d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j)
        d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t replace = d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, replace});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[a.size()][b.size()];
}

constexpr std::size_t mostNames = 4;

} // namespace

std::vector<std::string> nearNames(std::string_view name, const std::vector<std::string>& candidates)
{
    // A slip for every four characters, up to three: "bzzer" is near "buzzer", "id" is near nothing.
    const std::size_t allowed = std::clamp<std::size_t>(name.size() / 4, 1, 3);
    std::vector<std::pair<std::size_t, std::string>> near;
    for (const std::string& candidate : candidates)
        if (const std::size_t distance = editDistance(name, candidate); distance > 0 && distance <= allowed)
            near.emplace_back(distance, candidate);
    std::stable_sort(near.begin(), near.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> names;
    for (const auto& [distance, candidate] : near)
        if (names.size() < mostNames && distance == near.front().first)
            names.push_back(candidate);
    return names;
}

std::string didYouMean(const std::vector<std::string>& names)
{
    if (names.empty())
        return {};
    std::string text = "did you mean ";
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
    return text + "?";
}
