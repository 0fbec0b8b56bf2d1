#include "TcpTransport.h"

#include "Reader.h"
#include "Status.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace readerlib {

sockaddr_in socketAddress(uint32_t address, uint16_t port)
{
    sockaddr_in socket{};
    socket.sin_family = AF_INET;
    socket.sin_port = htons(port);
    socket.sin_addr.s_addr = htonl(address);
    return socket;
}

namespace {
// Why a connection did not come about, by the system's error.
uint16_t connectFailure(int error)
{
    switch (error) {
    case ECONNREFUSED:
        return READER_FAIL(READER_CONNECTION_REFUSED, "connection refused");
    case ENETUNREACH:
    case EHOSTUNREACH:
        return READER_FAIL(READER_UNREACHABLE, "no route to host");
    case ETIMEDOUT:
        return READER_FAIL(READER_CONNECT_TIMEOUT, "connect timed out");
    default:
        return READER_FAIL(READER_OPEN_FAILED, "connect failed");
    }
}
} // namespace

std::unique_ptr<TcpTransport> TcpTransport::connect(uint32_t address, uint16_t port, int connectTimeoutMs, uint16_t& status)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        status = READER_FAIL(READER_OPEN_FAILED, "no socket");
        return nullptr;
    }
    std::unique_ptr<TcpTransport> transport(new TcpTransport(fd));

    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);

    const sockaddr_in peer = socketAddress(address, port);
    // Non-blocking connect, so an unreachable reader costs the connect timeout
    // and not the system's minutes.
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) {
        if (errno != EINPROGRESS) {
            status = connectFailure(errno);
            return nullptr;
        }
        if (pollOne(fd, POLLOUT, connectTimeoutMs) <= 0) {
            status = READER_FAIL(READER_CONNECT_TIMEOUT, "connect timed out");
            return nullptr;
        }
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
            error = errno;
        if (error != 0) {
            status = connectFailure(error);
            return nullptr;
        }
    }
    // From here the socket blocks; a call that must not wait says so.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        status = READER_FAIL(READER_OPEN_FAILED, "cannot set up the socket");
        return nullptr;
    }
    status = READER_OK;
    return transport;
}

bool TcpTransport::waitAtMost(int timeoutMs)
{
    // The timeout set is kept while it ends at most 1 ms after the wait asked
    // for (as poll()'s rounding up would) and covers half of it at least, so
    // that a call's first wait for its answer, much the same each time, costs
    // no system call of its own; one that ends early is only waited again.
    if (receiveTimeoutMs_ <= timeoutMs + 1 && receiveTimeoutMs_ >= (timeoutMs + 1) / 2)
        return true;
    const timeval limit{timeoutMs / 1000, static_cast<suseconds_t>(timeoutMs % 1000) * 1000};
    if (::setsockopt(fd(), SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit) != 0)
        return false;
    receiveTimeoutMs_ = timeoutMs;
    return true;
}

uint16_t TcpTransport::receive(uint8_t* buffer, std::size_t capacity, int timeoutMs, std::size_t& received)
{
    received = 0;
    if (timeoutMs > 0 && !waitAtMost(timeoutMs))
        return READER_FAIL(READER_LINK_LOST, "cannot set the receive timeout");
    const ssize_t got = ::recv(fd(), buffer, capacity, timeoutMs > 0 ? 0 : MSG_DONTWAIT);
    if (got > 0) {
        received = static_cast<std::size_t>(got);
        return READER_OK;
    }
    // Nothing within the wait, or a signal cut it short: the caller looks at the time and waits again.
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return READER_OK;
    return READER_FAIL(READER_LINK_LOST, got == 0 ? "reader closed the link" : "read failed");
}

} // namespace readerlib
