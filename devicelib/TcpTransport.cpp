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
#include <unistd.h>

namespace readerlib {

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

    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(port);
    peer.sin_addr.s_addr = htonl(address);
    // Non-blocking connect, so an unreachable reader costs the connect timeout
    // and not the system's minutes.
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) {
        if (errno != EINPROGRESS) {
            status = READER_FAIL(READER_OPEN_FAILED, "connection refused");
            return nullptr;
        }
        pollfd waiter{fd, POLLOUT, 0};
        int ready;
        do {
            ready = ::poll(&waiter, 1, connectTimeoutMs);
        } while (ready < 0 && errno == EINTR);
        if (ready <= 0) {
            status = READER_FAIL(READER_OPEN_FAILED, "connect timed out");
            return nullptr;
        }
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
            status = READER_FAIL(READER_OPEN_FAILED, "connection refused");
            return nullptr;
        }
    }
    status = READER_OK;
    return transport;
}

TcpTransport::~TcpTransport()
{
    ::close(socket_);
}

uint16_t TcpTransport::send(const uint8_t* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t sent = ::send(socket_, data, size, MSG_NOSIGNAL);
        if (sent > 0) {
            data += sent;
            size -= static_cast<std::size_t>(sent);
            continue;
        }
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // The send buffer is full: a request is a few hundred bytes at
            // most, so this only waits for a peer that reads very slowly.
            pollfd waiter{socket_, POLLOUT, 0};
            if (::poll(&waiter, 1, 1000) <= 0)
                return READER_FAIL(READER_LINK_LOST, "peer does not take data");
            continue;
        }
        return READER_FAIL(READER_LINK_LOST, "send failed");
    }
    return READER_OK;
}

uint16_t TcpTransport::receive(uint8_t* buffer, std::size_t capacity, int timeoutMs, std::size_t& received)
{
    received = 0;
    if (timeoutMs > 0) {
        pollfd waiter{socket_, POLLIN, 0};
        int ready;
        do {
            ready = ::poll(&waiter, 1, timeoutMs);
        } while (ready < 0 && errno == EINTR);
        if (ready == 0)
            return READER_OK;
        if (ready < 0)
            return READER_FAIL(READER_LINK_LOST, "poll failed");
    }
    for (;;) {
        const ssize_t got = ::recv(socket_, buffer, capacity, 0);
        if (got > 0) {
            received = static_cast<std::size_t>(got);
            return READER_OK;
        }
        if (got == 0)
            return READER_FAIL(READER_LINK_LOST, "reader closed the connection");
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return READER_OK;
        return READER_FAIL(READER_LINK_LOST, "receive failed");
    }
}

} // namespace readerlib
