#include "Epoll.h"

#include <cerrno>
#include <unistd.h>

namespace sim {

Epoll::Epoll() : fd_(::epoll_create1(EPOLL_CLOEXEC)) {}

Epoll::~Epoll()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool Epoll::add(int fd, uint32_t events, uint64_t tag)
{
    epoll_event event{};
    event.events = events;
    event.data.u64 = tag;
    return ::epoll_ctl(fd_, EPOLL_CTL_ADD, fd, &event) == 0;
}

bool Epoll::watch(int fd, uint32_t events, uint64_t tag)
{
    epoll_event event{};
    event.events = events;
    event.data.u64 = tag;
    if (::epoll_ctl(fd_, EPOLL_CTL_MOD, fd, &event) == 0)
        return true;
    return errno == ENOENT && add(fd, events, tag);
}

int Epoll::wait(epoll_event* events, int capacity, int timeoutMs)
{
    const int ready = ::epoll_wait(fd_, events, capacity, timeoutMs);
    return ready < 0 && errno == EINTR ? 0 : ready;
}

} // namespace sim
