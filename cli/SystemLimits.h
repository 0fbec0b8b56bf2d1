// What the system lets tagdesk-cli have for the readers it talks to at once:
// each reader in flight holds a thread and a descriptor (its link). One file a
// system (SystemLimitsPosix.cpp, SystemLimitsWindows.cpp).
#pragma once

#include <cstddef>
#include <functional>
#include <memory>

// How many of wanted readers may be in flight at once, at least 1. On Linux
// the soft limit of open files is first raised toward the hard one as far as
// wanted readers need; what it then allows, and the user's limit of threads
// (RLIMIT_NPROC), each bound the answer, less what the program itself holds.
std::size_t readersTheSystemAllows(std::size_t wanted);

// How many of count readers (or ports) go at once: atOnce of them, all when
// atOnce is 0, within what the system allows.
inline std::size_t readersAtOnce(std::size_t count, std::size_t atOnce)
{
    return readersTheSystemAllows(atOnce == 0 || atOnce > count ? count : atOnce);
}

// A thread of the pool (Parallel.h), on a small stack where the system lets
// the program choose: a reader's job needs little, and a fleet of a thousand
// readers runs a thousand threads. Joined when it goes.
class PoolThread {
public:
    PoolThread();
    ~PoolThread();
    PoolThread(PoolThread&& other) noexcept;
    PoolThread& operator=(PoolThread&&) = delete;

    // Runs body on a thread of its own; false when the system refuses one.
    bool start(std::function<void()> body);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
