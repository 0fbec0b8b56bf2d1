// How deep a TOML text nests, judged before the TOML parser sees it: the
// parser recurses once per part of a dotted key or table header and once per
// nested array or inline table, so a small file of 100,000 parts would end the
// program. A profile's keys have at most two parts and its values nest once.
#pragma once

#include <optional>
#include <string>
#include <string_view>

inline constexpr int maxTomlKeyParts = 16;
inline constexpr int maxTomlNesting = 16;

struct TomlTooDeep {
    int line;             // 1-based
    std::string reason;   // "a key of more than 16 parts"
};

// The first place where a key has more than maxTomlKeyParts parts or values
// nest more than maxTomlNesting deep; nullopt when there is none. Strings and
// comments are skipped as TOML reads them; anything else malformed is left to
// the parser to name.
std::optional<TomlTooDeep> findTooDeep(std::string_view text);
