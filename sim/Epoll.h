// An epoll instance: descriptors watched for the events asked, each event
// coming back with a tag of the watcher's own. A closed descriptor leaves the
// set by itself.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <sys/epoll.h>

namespace sim {

class Epoll {
public:
    Epoll();   // fd() stays -1 when the system gives none
    ~Epoll();
    Epoll(const Epoll&) = delete;
    Epoll& operator=(const Epoll&) = delete;

    int fd() const { return fd_; }

    bool add(int fd, uint32_t events, uint64_t tag);
    // Changes what fd is watched for, and adds it when it is not watched
    // (a descriptor closed and opened again under the same number).
    bool watch(int fd, uint32_t events, uint64_t tag);
    // Ready events, at most capacity, waiting up to timeout (none: no limit);
    // 0 when interrupted by a signal, -1 on failure.
    int wait(epoll_event* events, int capacity, std::optional<std::chrono::nanoseconds> timeout);

private:
    int fd_ = -1;
};

} // namespace sim
