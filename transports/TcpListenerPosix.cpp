// Linux: a non-blocking POSIX listening socket; each connection a TcpTransport.
#include "TcpListener.h"

#include "FdTransport.h"
#include "SystemError.h"
#include "TcpTransport.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace readerlib {

namespace {
// Connections the system holds for us between two accepts.
constexpr int backlog = 64;
} // namespace

struct TcpListener::Socket {
    int fd;
    ~Socket() { ::close(fd); }
};

TcpListener::TcpListener(std::unique_ptr<Socket> socket, uint16_t port) : socket_(std::move(socket)), port_(port) {}

TcpListener::~TcpListener() = default;

std::unique_ptr<TcpListener> TcpListener::listen(uint32_t address, uint16_t port, std::string& why)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        why = systemErrorText(errno);
        return nullptr;
    }
    std::unique_ptr<Socket> socket(new Socket{fd});
    // A server started again at once may take its port back from the
    // connections of its last run that the system still winds down.
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in own = socketAddress(address, port);
    socklen_t length = sizeof own;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&own), sizeof own) != 0 || ::listen(fd, backlog) != 0
        || ::getsockname(fd, reinterpret_cast<sockaddr*>(&own), &length) != 0) {
        why = systemErrorText(errno);
        return nullptr;
    }
    return std::unique_ptr<TcpListener>(new TcpListener(std::move(socket), ntohs(own.sin_port)));
}

std::unique_ptr<Transport> TcpListener::accept(int timeoutMs, ports::TcpAddress& peer)
{
    if (pollOne(socket_->fd, POLLIN, timeoutMs) <= 0)
        return nullptr;
    sockaddr_in from{};
    socklen_t length = sizeof from;
    // A connection's socket blocks, as TcpTransport wants (its calls that must not wait say so).
    const int fd = ::accept4(socket_->fd, reinterpret_cast<sockaddr*>(&from), &length, SOCK_CLOEXEC);
    if (fd < 0)
        return nullptr;   // gone again before it was taken, or out of descriptors: the next accept tries anew
    peer = {ntohl(from.sin_addr.s_addr), ntohs(from.sin_port)};
    return std::unique_ptr<Transport>(new TcpTransport(fd));
}

} // namespace readerlib
