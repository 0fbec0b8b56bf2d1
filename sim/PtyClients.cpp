#include "PtyClients.h"

#include <cerrno>
#include <cstring>
#include <sys/inotify.h>
#include <unistd.h>

namespace sim {

PtyClients::PtyClients(const std::string& slavePath)
{
    fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0)
        return;
    if (::inotify_add_watch(fd_, slavePath.c_str(), IN_OPEN | IN_CLOSE) < 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

PtyClients::~PtyClients()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool PtyClients::lastClientLeft()
{
    bool left = false;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return left;
        for (ssize_t at = 0; at < n;) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            at += static_cast<ssize_t>(sizeof event + event.len);
            if (event.mask & IN_Q_OVERFLOW) {
                // Events were lost: assume everyone left rather than keep stale answers.
                openClients_ = 0;
                left = true;
            } else if (event.mask & IN_OPEN) {
                ++openClients_;
            } else if (event.mask & IN_CLOSE) {
                openClients_ = openClients_ > 0 ? openClients_ - 1 : 0;
                left = left || openClients_ == 0;
            }
        }
    }
}

} // namespace sim
