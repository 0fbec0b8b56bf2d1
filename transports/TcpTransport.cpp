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
    status = READER_OK;
    return transport;
}

} // namespace readerlib
