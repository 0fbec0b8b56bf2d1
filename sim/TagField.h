// The tags in front of a virtual reader: their IDs, the antennas that see them
// and how often each answers. Read from a tag file (--tags) or drawn at random
// (--tag-count, --seed); either way every ID is there once.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

using TagId = std::array<uint8_t, 12>;

constexpr uint8_t kEveryAntenna = 0x0F;   // bits 0 to 3: antennas 1 to 4

struct Tag {
    TagId id{};
    uint8_t antennas = kEveryAntenna;   // bit n - 1 set: antenna n sees the tag
    double readsPerSecond = 1;
};

// What a tag file may hold: refused beyond these before anything is kept.
constexpr std::size_t kMaxTagFileBytes = 64u << 20;
constexpr std::size_t kMaxTagFileLines = 1'000'000;
constexpr std::size_t kMaxTagLineLength = 200;

// A tag's reads per second: a decimal number above 0 and at most 1000.
std::optional<double> parseReadsPerSecond(std::string_view text);

// One tag a line: "ID [ANTENNA [READS]]", separated by blanks. ID is 24
// hexadecimal digits; ANTENNA is 1 to 4, or * for every antenna (the
// default); READS is the tag's reads per second (default defaultRate). Blank
// lines and everything after a # are ignored. On a fault nothing, with
// "FILE:LINE: reason" (or "FILE: reason") in error.
std::optional<std::vector<Tag>> loadTagFile(const std::string& path, double defaultRate, std::string& error);

// count tags with IDs drawn from seed (the same seed, the same IDs), seen by every antenna.
std::vector<Tag> randomTags(std::size_t count, uint64_t seed, double readsPerSecond);

} // namespace sim
