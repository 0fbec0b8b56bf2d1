#include "FdTransport.h"

#include "Reader.h"
#include "Status.h"
#include "Timeouts.h"

#include <cerrno>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace readerlib {

int pollOne(int fd, short events, int timeoutMs)
{
    pollfd waiter{fd, events, 0};
    int ready;
    do {
        ready = ::poll(&waiter, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    return ready;
}

FdTransport::~FdTransport()
{
    ::close(fd_);
}

uint16_t FdTransport::send(const uint8_t* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written =
            isSocket_ ? ::send(fd_, data, size, MSG_NOSIGNAL | MSG_DONTWAIT) : ::write(fd_, data, size);
        if (written > 0) {
            data += written;
            size -= static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (pollOne(fd_, POLLOUT, kSendTimeoutMs) <= 0)
                return READER_FAIL(READER_LINK_LOST, "reader does not take data");
            continue;
        }
        return READER_FAIL(READER_LINK_LOST, "write failed");
    }
    return READER_OK;
}

uint16_t FdTransport::receive(uint8_t* buffer, std::size_t capacity, int timeoutMs, std::size_t& received)
{
    received = 0;
    if (timeoutMs > 0) {
        const int ready = pollOne(fd_, POLLIN, timeoutMs);
        if (ready == 0)
            return READER_OK;
        if (ready < 0)
            return READER_FAIL(READER_LINK_LOST, "poll failed");
    }
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, capacity);
        if (got > 0) {
            received = static_cast<std::size_t>(got);
            return READER_OK;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return READER_OK;
        // End of file, or EIO on a terminal: the other side is gone.
        return READER_FAIL(READER_LINK_LOST, got == 0 ? "reader closed the link" : "read failed");
    }
}

} // namespace readerlib
