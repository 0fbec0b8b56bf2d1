// What tagdesk-cli monitor heard, tag by tag, for the table at its end: how
// often each tag was read and when first and last, by the source it came from
// and the reader number its frames carry. Bounded: at most tagLimit tags are
// listed; reads of tags beyond them are counted all the same.
#pragma once

#include "TagDecoder.h"
#include "TimeText.h"

#include <compare>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

struct TagKey {
    std::string source;                 // the reader's address, or the port it was heard on
    std::optional<uint8_t> reader;      // its reader number, when the frames carry one
    std::string id;                     // the ID bytes as the format cuts them, in hexadecimal

    auto operator<=>(const TagKey&) const = default;
};

struct TagSeen {
    uint64_t reads = 0;
    WallTime first;
    WallTime last;

    // Reads a second while the tag was seen: the reads after the first over
    // the time from the first to the last; none for a tag read once (or
    // several times within a clock tick).
    std::optional<double> perSecond() const;
};

class TagTally {
public:
    // Tags listed at most: some 10 MB.
    static constexpr std::size_t tagLimit = 100'000;

    // Counts a read; false when its tag is new and tagLimit tags are listed
    // already (the read still counts in reads()).
    bool add(const std::string& source, const tagframe::TagRead& read, WallTime when);
    // Counts bytes that made no frame; sample holds the last of them.
    void addStray(uint64_t bytes, const std::vector<uint8_t>& sample);

    const std::map<TagKey, TagSeen>& tags() const { return tags_; }
    uint64_t reads() const { return reads_; }
    // Reads of tags that found no room in the list.
    uint64_t unlisted() const { return unlisted_; }
    uint64_t strayBytes() const { return strayBytes_; }
    // The last stray bytes heard, at most tagframe::Decoder::straySampleSize.
    const std::vector<uint8_t>& straySample() const { return straySample_; }

private:
    std::map<TagKey, TagSeen> tags_;
    uint64_t reads_ = 0;
    uint64_t unlisted_ = 0;
    uint64_t strayBytes_ = 0;
    std::vector<uint8_t> straySample_;
};

// A read's ID bytes in hexadecimal: "E2006816123456789ABCDEF0".
std::string idText(const tagframe::TagRead& read);
