#include "TcpListener.h"

#include "PortName.h"

#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sim {

namespace {

// Tries for a port free at every address of a range before giving up: the
// one the system picks at the first address may be taken at another.
constexpr int kFreePortTries = 8;

TcpListener listenAt(uint32_t host, uint16_t port, std::string& error, int& failure)
{
    TcpListener listener;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(host);
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        failure = errno;
        error = std::string("socket: ") + std::strerror(errno);
        return listener;
    }
    // A restarted reader must get its port back while old connections linger in TIME_WAIT.
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || ::listen(fd, 16) != 0) {
        failure = errno;
        error = "cannot listen on " + ports::dotted(host) + ":" + std::to_string(port) + ": " + std::strerror(errno);
        ::close(fd);
        return listener;
    }
    socklen_t size = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    listener.fd = fd;
    listener.port = ntohs(address.sin_port);
    return listener;
}

} // namespace

std::vector<TcpListener> openTcpListeners(uint32_t first, std::size_t count, uint16_t port, std::string& error)
{
    for (int attempt = 0; attempt < kFreePortTries; ++attempt) {
        std::vector<TcpListener> listeners;
        listeners.reserve(count);
        int failure = 0;
        for (std::size_t i = 0; i < count; ++i) {
            // Port 0: the first address asks for a free port, the others take the same.
            const uint16_t wanted = i == 0 ? port : listeners.front().port;
            listeners.push_back(listenAt(first + static_cast<uint32_t>(i), wanted, error, failure));
            if (listeners.back().fd < 0)
                break;
        }
        if (listeners.empty() || listeners.back().fd >= 0)
            return listeners;
        // Only a port picked at the first address and taken at a later one is worth another try.
        const bool retry = port == 0 && failure == EADDRINUSE && listeners.size() > 1;
        closeTcpListeners(listeners);
        if (!retry)
            break;
    }
    return {};
}

void closeTcpListeners(std::vector<TcpListener>& listeners)
{
    for (const TcpListener& listener : listeners)
        if (listener.fd >= 0)
            ::close(listener.fd);
    listeners.clear();
}

} // namespace sim
