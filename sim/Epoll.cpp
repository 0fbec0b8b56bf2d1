#include "Epoll.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
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

int Epoll::wait(epoll_event* events, int capacity, std::optional<std::chrono::nanoseconds> timeout)
{
    timespec limit{};
    if (timeout) {
        const auto nanoseconds = std::max<long long>(timeout->count(), 0);
        limit = {static_cast<time_t>(nanoseconds / 1'000'000'000), static_cast<long>(nanoseconds % 1'000'000'000)};
    }
    const int ready = ::epoll_pwait2(fd_, events, capacity, timeout ? &limit : nullptr, nullptr);
    return ready < 0 && errno == EINTR ? 0 : ready;
}

} // namespace sim
