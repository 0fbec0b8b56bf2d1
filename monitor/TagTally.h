// The tags a monitor has seen: one row a tag (its ID window and the reader
// number that sent it), its reads and when it was first and last read. The
// rows stay in the order the tags were first read, and their number is
// capped, so a field of any size costs bounded memory: once the cap is
// reached, reads of tags not listed count in the total only.
#pragma once

#include "TagDecoder.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

struct TagRow {
    tagframe::TagRead tag;   // the reader number and the ID as the frame format cuts it
    uint64_t reads = 0;
    int64_t firstSeenMs = 0;   // wall-clock time, milliseconds since the epoch
    int64_t lastSeenMs = 0;
};

class TagTally {
public:
    // The most tags listed at once; docs and the window's message name it.
    static constexpr std::size_t maxTags = 10000;

    explicit TagTally(std::size_t cap = maxTags);

    // Counts one read at nowMs.
    void add(const tagframe::TagRead& read, int64_t nowMs);
    void clear();

    const std::vector<TagRow>& rows() const { return rows_; }
    uint64_t totalReads() const { return totalReads_; }
    // Reads of tags the table had no room for.
    uint64_t unlistedReads() const { return unlistedReads_; }
    bool full() const { return rows_.size() >= cap_; }
    std::size_t cap() const { return cap_; }

    // The rows read since the last call, as the range [first, end) of rows();
    // first == end when none was. New rows are always inside it.
    struct Changed {
        std::size_t first = 0;
        std::size_t end = 0;
    };
    Changed takeChanged();

private:
    // The key of a row: reader number, ID length and ID bytes, as bytes.
    using Key = std::array<uint8_t, 2 + 1 + tagframe::idSize>;
    struct KeyHash {
        std::size_t operator()(const Key& key) const
        {
            return std::hash<std::string_view>()(std::string_view(reinterpret_cast<const char*>(key.data()), key.size()));
        }
    };
    static Key keyOf(const tagframe::TagRead& read);

    std::size_t cap_;
    std::vector<TagRow> rows_;
    std::unordered_map<Key, std::size_t, KeyHash> index_;
    uint64_t totalReads_ = 0;
    uint64_t unlistedReads_ = 0;
    std::size_t changedFirst_ = SIZE_MAX;
    std::size_t changedEnd_ = 0;
};
