// The profile file: TOML, one table per page ([antenna_power], ...), one entry
// per parameter by its stable name, in the units the pages show, with a
// "format" version at the top and a comment above every entry.
#pragma once

#include "Profile.h"

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

// The largest profile read, in bytes. A profile of every parameter is about
// 6.5 KB; anything near this bound is not a profile.
inline constexpr std::size_t profileSizeLimit = 1024 * 1024;

// Reads a profile's text. file names it in messages. Every value is checked
// against the parameter table here, so a profile that gets through can be
// written as it is. Throws ProfileError for a text over profileSizeLimit, keys
// or values nested deeper than a profile's (TomlDepth.h), a syntax error, a
// missing or other format version, an unknown page or name, a value of the
// wrong kind or out of range, a channel outside the frequency plan (ChannelPlan.h).
Profile parseProfile(std::string_view text, const std::string& file);

// The same from a file; an unreadable file is refused too. Reads at most
// profileSizeLimit + 1 bytes, so a pipe or a device such as /dev/zero ends too.
Profile loadProfile(const std::string& path);

// A file the commands read beside a profile (a site file, a port list) from in,
// as far as limit bytes and one more, so that a pipe or a device such as
// /dev/zero ends too. Throws ProfileError for a larger text or one that cannot
// be read; file names it.
std::string readBounded(std::istream& in, const std::string& file, std::size_t limit);
std::string readBoundedFile(const std::string& path, std::size_t limit);

// The profile as text; origin goes into the heading comment ("read from COM1").
std::string profileText(const Profile& profile, const std::string& origin);
