#include "TagTally.h"

#include "HexText.h"

#include <algorithm>

namespace tagframe {

namespace {

// What tells two rows apart, as bytes: the reader number (or none), the ID
// with its length, then the source.
std::string rowKey(std::string_view source, const TagRead& read)
{
    std::string key;
    key.reserve(3 + read.idLength + source.size());
    key += char(read.readerNumber.has_value());
    key += char(read.readerNumber.value_or(0));
    key += char(read.idLength);
    key.append(reinterpret_cast<const char*>(read.idBytes.data()), read.idLength);
    key += source;
    return key;
}

} // namespace

std::string idText(const TagRead& read)
{
    return hexText({read.id().begin(), read.id().end()});
}

std::optional<double> TagRow::perSecond() const
{
    const double seconds = std::chrono::duration<double>(last - first).count();
    if (reads < 2 || seconds <= 0)
        return std::nullopt;
    return double(reads - 1) / seconds;
}

TagTally::TagTally(std::size_t cap) : cap_(cap) {}

bool TagTally::add(std::string_view source, const TagRead& read, WallTime when)
{
    ++reads_;
    std::string key = rowKey(source, read);
    auto found = index_.find(key);
    if (found == index_.end()) {
        if (full()) {
            ++unlisted_;
            return false;
        }
        found = index_.emplace(std::move(key), rows_.size()).first;
        rows_.push_back({std::string(source), read, 0, when, when});
    }
    TagRow& row = rows_[found->second];
    ++row.reads;
    row.last = when;
    changedFirst_ = std::min(changedFirst_, found->second);
    changedEnd_ = std::max(changedEnd_, found->second + 1);
    return true;
}

void TagTally::addStray(uint64_t bytes, std::span<const uint8_t> sample)
{
    strayBytes_ += bytes;
    straySample_.insert(straySample_.end(), sample.begin(), sample.end());
    if (straySample_.size() > Decoder::straySampleSize)
        straySample_.erase(straySample_.begin(), straySample_.end() - std::ptrdiff_t(Decoder::straySampleSize));
}

void TagTally::clear()
{
    *this = TagTally(cap_);
}

TagTally::Changed TagTally::takeChanged()
{
    const Changed changed = changedFirst_ < changedEnd_ ? Changed{changedFirst_, changedEnd_} : Changed{};
    changedFirst_ = SIZE_MAX;
    changedEnd_ = 0;
    return changed;
}

} // namespace tagframe
