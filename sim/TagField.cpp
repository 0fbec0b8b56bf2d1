#include "TagField.h"

#include "Words.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <random>
#include <sys/stat.h>
#include <unordered_map>
#include <unordered_set>

namespace sim {

namespace {

constexpr double kMaxReadsPerSecond = 1000;

struct TagIdHash {
    std::size_t operator()(const TagId& id) const
    {
        return std::hash<std::string_view>{}(std::string_view(reinterpret_cast<const char*>(id.data()), id.size()));
    }
};

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The reason a field is no tag ID, or nothing when it is one (then in id).
std::optional<std::string> parseTagId(std::string_view text, TagId& id)
{
    if (text.size() != 2 * id.size())
        return "a tag ID is 24 hexadecimal digits, this one has " + std::to_string(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int value = hexValue(text[i]);
        if (value < 0)
            return "'" + std::string(1, text[i]) + "' in the tag ID is no hexadecimal digit";
        id[i / 2] = static_cast<uint8_t>(i % 2 == 0 ? value << 4 : id[i / 2] | value);
    }
    return std::nullopt;
}

// The reason line is no tag, or nothing when it is one (or holds none: then tag.antennas is 0).
std::optional<std::string> parseTagLine(std::string_view line, double defaultRate, Tag& tag)
{
    tag = Tag{};
    tag.readsPerSecond = defaultRate;
    const auto fields = words(line.substr(0, line.find('#')));
    if (fields.empty()) {
        tag.antennas = 0;
        return std::nullopt;
    }
    if (fields.size() > 3)
        return "a line holds a tag ID, an antenna and reads per second, no more";
    if (auto reason = parseTagId(fields[0], tag.id))
        return reason;
    if (fields.size() >= 2 && fields[1] != "*") {
        const std::string_view antenna = fields[1];
        if (antenna.size() != 1 || antenna[0] < '1' || antenna[0] > '4')
            return "the antenna is 1 to 4, or * for every antenna, not '" + std::string(antenna) + "'";
        tag.antennas = static_cast<uint8_t>(1u << (antenna[0] - '1'));
    }
    if (fields.size() == 3) {
        const auto rate = parseReadsPerSecond(fields[2]);
        if (!rate)
            return "reads per second are a number above 0 and at most 1000, not '" + std::string(fields[2]) + "'";
        tag.readsPerSecond = *rate;
    }
    return std::nullopt;
}

// The file's text, or nothing (with the reason) when it cannot be read or is too large to be a tag file.
std::optional<std::string> readBounded(const std::string& path, std::string& error)
{
    struct stat info{};
    if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)
        && static_cast<std::uintmax_t>(info.st_size) > kMaxTagFileBytes) {
        error = path + ": " + std::to_string(info.st_size) + " bytes, more than a tag file may hold ("
              + std::to_string(kMaxTagFileBytes) + ")";
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot open: " + std::strerror(errno);
        return std::nullopt;
    }
    std::string text;
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        text.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxTagFileBytes) {   // not a plain file: its size was not known before
            error = path + ": more than " + std::to_string(kMaxTagFileBytes) + " bytes, more than a tag file may hold";
            return std::nullopt;
        }
    }
    if (in.bad()) {
        error = path + ": cannot read: " + std::strerror(errno);
        return std::nullopt;
    }
    return text;
}

} // namespace

std::optional<double> parseReadsPerSecond(std::string_view text)
{
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    if (text.empty() || ec != std::errc() || ptr != end || !(value > 0) || value > kMaxReadsPerSecond)
        return std::nullopt;
    return value;
}

std::optional<std::vector<Tag>> loadTagFile(const std::string& path, double defaultRate, std::string& error)
{
    const auto text = readBounded(path, error);
    if (!text)
        return std::nullopt;
    std::vector<Tag> tags;
    std::unordered_map<TagId, std::size_t, TagIdHash> lineOf;
    const std::string_view all = *text;
    std::size_t number = 0;
    for (std::size_t at = 0; at < all.size();) {
        const std::size_t newline = std::min(all.find('\n', at), all.size());
        const std::string_view line = all.substr(at, newline - at);
        at = newline + 1;
        ++number;
        const auto refuse = [&](const std::string& reason) {
            error = path + ":" + std::to_string(number) + ": " + reason;
            return std::nullopt;
        };
        if (number > kMaxTagFileLines)
            return refuse("more than " + std::to_string(kMaxTagFileLines) + " lines, more than a tag file may hold");
        if (line.size() > kMaxTagLineLength)
            return refuse("a line longer than " + std::to_string(kMaxTagLineLength) + " characters");
        Tag tag;
        if (auto reason = parseTagLine(line, defaultRate, tag))
            return refuse(*reason);
        if (tag.antennas == 0)
            continue;
        if (const auto [it, added] = lineOf.emplace(tag.id, number); !added)
            return refuse("the same tag ID as line " + std::to_string(it->second));
        tags.push_back(tag);
    }
    return tags;
}

std::vector<Tag> randomTags(std::size_t count, uint64_t seed, double readsPerSecond)
{
    std::mt19937_64 random(seed);
    std::unordered_set<TagId, TagIdHash> seen;
    std::vector<Tag> tags;
    tags.reserve(count);
    while (tags.size() < count) {
        Tag tag;
        tag.readsPerSecond = readsPerSecond;
        const uint64_t high = random();
        const uint64_t low = random();
        for (std::size_t i = 0; i < tag.id.size(); ++i)
            tag.id[i] = static_cast<uint8_t>(i < 8 ? high >> (56 - 8 * i) : low >> (24 - 8 * (i - 8)));
        if (seen.insert(tag.id).second)
            tags.push_back(tag);
    }
    return tags;
}

} // namespace sim
