// Names a misspelt one may have meant, for messages that answer an unknown
// name with "did you mean work_antennas?".
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The candidates nearest to name, when they are a few slips of the keyboard
// away (a letter left out, added, changed, or two swapped), at most four in
// the candidates' order; none when no candidate is that near.
std::vector<std::string> nearNames(std::string_view name, const std::vector<std::string>& candidates);

// "did you mean work_antennas?", "did you mean a or b?"; "" for no names.
std::string didYouMean(const std::vector<std::string>& names);
