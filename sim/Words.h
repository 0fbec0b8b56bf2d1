// A line of readersim's text input (a tag file, a control command) as its
// words: what lies between blanks (spaces, tabs, a carriage return).
#pragma once

#include <algorithm>
#include <string_view>
#include <vector>

namespace sim {

inline std::vector<std::string_view> words(std::string_view line)
{
    constexpr const char* blanks = " \t\r";
    std::vector<std::string_view> result;
    for (std::size_t at = line.find_first_not_of(blanks); at != std::string_view::npos;
         at = line.find_first_not_of(blanks, at)) {
        const std::size_t end = std::min(line.find_first_of(blanks, at), line.size());
        result.push_back(line.substr(at, end - at));
        at = end;
    }
    return result;
}

} // namespace sim
