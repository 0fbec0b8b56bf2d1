// Reads a second over the last minute: reads are counted into the whole
// second they arrive in (from the moment counting starts), and the last 60
// whole seconds are kept. The second under way is not shown until it is whole.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

class ReadRate {
public:
    static constexpr int seconds = 60;

    // Counting starts afresh at nowMs (a steady clock's milliseconds).
    void restart(int64_t nowMs);
    // Counts reads that arrived at nowMs.
    void add(uint64_t reads, int64_t nowMs);
    // Moves on to nowMs: the seconds that passed with no read count 0.
    void advance(int64_t nowMs);

    // Reads in the last whole second; 0 before the first second is whole.
    uint64_t lastSecond() const;
    // The reads of each whole second of the last minute, oldest first: fewer
    // than 60 in the first minute.
    std::vector<uint64_t> lastMinute() const;

private:
    // The slot of a second: the ring holds the seconds under way and 60 before it.
    static std::size_t slot(int64_t second) { return std::size_t(second % (seconds + 1)); }

    int64_t startMs_ = 0;
    int64_t current_ = 0;   // the second under way, counted from startMs_
    std::array<uint64_t, seconds + 1> counts_{};
};
