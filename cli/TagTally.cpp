#include "TagTally.h"

#include "HexText.h"

std::string idText(const tagframe::TagRead& read)
{
    return hexText({read.id().begin(), read.id().end()});
}

std::optional<double> TagSeen::perSecond() const
{
    const double seconds = std::chrono::duration<double>(last - first).count();
    if (reads < 2 || seconds <= 0)
        return std::nullopt;
    return double(reads - 1) / seconds;
}

bool TagTally::add(const std::string& source, const tagframe::TagRead& read, WallTime when)
{
    ++reads_;
    TagKey key{source, read.readerNumber, idText(read)};
    auto found = tags_.find(key);
    if (found == tags_.end()) {
        if (tags_.size() >= tagLimit) {
            ++unlisted_;
            return false;
        }
        found = tags_.emplace(std::move(key), TagSeen{0, when, when}).first;
    }
    ++found->second.reads;
    found->second.last = when;
    return true;
}

void TagTally::addStray(uint64_t bytes, const std::vector<uint8_t>& sample)
{
    strayBytes_ += bytes;
    straySample_.insert(straySample_.end(), sample.begin(), sample.end());
    if (straySample_.size() > tagframe::Decoder::straySampleSize)
        straySample_.erase(straySample_.begin(),
                           straySample_.end() - std::ptrdiff_t(tagframe::Decoder::straySampleSize));
}
