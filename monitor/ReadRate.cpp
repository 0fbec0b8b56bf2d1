#include "ReadRate.h"

#include <algorithm>

void ReadRate::restart(int64_t nowMs)
{
    startMs_ = nowMs;
    current_ = 0;
    counts_.fill(0);
}

void ReadRate::advance(int64_t nowMs)
{
    const int64_t second = std::max<int64_t>(0, (nowMs - startMs_) / 1000);
    if (second <= current_)
        return;
    // A gap of more than the ring clears all of it.
    const int64_t from = std::max(current_ + 1, second - seconds);
    for (int64_t s = from; s <= second; ++s)
        counts_[slot(s)] = 0;
    current_ = second;
}

void ReadRate::add(uint64_t reads, int64_t nowMs)
{
    advance(nowMs);
    counts_[slot(current_)] += reads;
}

uint64_t ReadRate::lastSecond() const
{
    return current_ > 0 ? counts_[slot(current_ - 1)] : 0;
}

std::vector<uint64_t> ReadRate::lastMinute() const
{
    std::vector<uint64_t> minute;
    for (int64_t s = std::max<int64_t>(0, current_ - seconds); s < current_; ++s)
        minute.push_back(counts_[slot(s)]);
    return minute;
}
