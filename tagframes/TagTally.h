// The tags a monitor has heard: a row a tag (where it was heard, its reader
// number and its ID window), its reads and when it was first and last read,
// with the totals and the bytes that made no frame. Rows stay in the order
// their tags were first read, and their number is capped by the caller, so a
// field of any size costs bounded memory: once the cap is reached, reads of
// tags not listed count in the totals only. tagdesk-cli monitor and the
// window's Tag Monitor both count through it.
#pragma once

#include "TagDecoder.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tagframe {

using WallTime = std::chrono::system_clock::time_point;

struct TagRow {
    std::string source;   // the reader's address or the port it was heard on; one for all where the caller keeps none
    TagRead tag;          // the reader number and the ID as the frame format cuts it
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
    explicit TagTally(std::size_t cap);

    // Counts a read; false when its tag is new and the list is full (the read
    // still counts in reads()).
    bool add(std::string_view source, const TagRead& read, WallTime when);
    // Counts bytes that made no frame; sample holds the last of them.
    void addStray(uint64_t bytes, std::span<const uint8_t> sample);
    void clear();

    const std::vector<TagRow>& rows() const { return rows_; }
    uint64_t reads() const { return reads_; }
    // Reads of tags that found no room in the list.
    uint64_t unlisted() const { return unlisted_; }
    bool full() const { return rows_.size() >= cap_; }
    std::size_t cap() const { return cap_; }
    uint64_t strayBytes() const { return strayBytes_; }
    // The last stray bytes heard, at most Decoder::straySampleSize, oldest first.
    const std::vector<uint8_t>& straySample() const { return straySample_; }

    // The rows read since the last call, as the range [first, end) of rows();
    // first == end when none was. New rows are always inside it.
    struct Changed {
        std::size_t first = 0;
        std::size_t end = 0;
    };
    Changed takeChanged();

private:
    std::size_t cap_;
    std::vector<TagRow> rows_;
    std::unordered_map<std::string, std::size_t> index_;   // a row's key (rowKey) to its place
    uint64_t reads_ = 0;
    uint64_t unlisted_ = 0;
    uint64_t strayBytes_ = 0;
    std::vector<uint8_t> straySample_;
    std::size_t changedFirst_ = SIZE_MAX;
    std::size_t changedEnd_ = 0;
};

// A read's ID bytes in hexadecimal: "E2006816123456789ABCDEF0".
std::string idText(const TagRead& read);

} // namespace tagframe
