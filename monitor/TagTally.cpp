#include "TagTally.h"

#include <algorithm>
#include <cstring>

TagTally::TagTally(std::size_t cap) : cap_(cap) {}

TagTally::Key TagTally::keyOf(const tagframe::TagRead& read)
{
    Key key{};
    key[0] = read.readerNumber.has_value();
    key[1] = read.readerNumber.value_or(0);
    key[2] = read.idLength;
    std::memcpy(key.data() + 3, read.idBytes.data(), read.idLength);
    return key;
}

void TagTally::add(const tagframe::TagRead& read, int64_t nowMs)
{
    ++totalReads_;
    const Key key = keyOf(read);
    auto found = index_.find(key);
    if (found == index_.end()) {
        if (full()) {
            ++unlistedReads_;
            return;
        }
        found = index_.emplace(key, rows_.size()).first;
        rows_.push_back({read, 0, nowMs, nowMs});
    }
    TagRow& row = rows_[found->second];
    ++row.reads;
    row.lastSeenMs = nowMs;
    changedFirst_ = std::min(changedFirst_, found->second);
    changedEnd_ = std::max(changedEnd_, found->second + 1);
}

TagTally::Changed TagTally::takeChanged()
{
    const Changed changed = changedFirst_ < changedEnd_ ? Changed{changedFirst_, changedEnd_} : Changed{};
    changedFirst_ = SIZE_MAX;
    changedEnd_ = 0;
    return changed;
}

void TagTally::clear()
{
    rows_.clear();
    index_.clear();
    totalReads_ = 0;
    unlistedReads_ = 0;
    changedFirst_ = SIZE_MAX;
    changedEnd_ = 0;
}
