// Windows: a Winsock listening socket; each connection a WinsockTransport.
#include "TcpListener.h"

#include "SystemError.h"
#include "WinsockTransport.h"

namespace readerlib {

namespace {
// Connections the system holds for us between two accepts.
constexpr int backlog = 64;
} // namespace

struct TcpListener::Socket {
    SOCKET socket;
    ~Socket() { ::closesocket(socket); }
};

TcpListener::TcpListener(std::unique_ptr<Socket> socket, uint16_t port) : socket_(std::move(socket)), port_(port) {}

TcpListener::~TcpListener() = default;

std::unique_ptr<TcpListener> TcpListener::listen(uint32_t address, uint16_t port, std::string& why)
{
    if (!winsockStarted()) {
        why = "Winsock did not start";
        return nullptr;
    }
    // Not inherited, so a program the caller starts does not keep the port.
    const SOCKET socket = ::WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    if (socket == INVALID_SOCKET) {
        why = systemErrorText(::WSAGetLastError());
        return nullptr;
    }
    std::unique_ptr<Socket> held(new Socket{socket});
    sockaddr_in own = socketAddress(address, port);
    int length = sizeof own;
    if (::bind(socket, reinterpret_cast<const sockaddr*>(&own), sizeof own) != 0 || ::listen(socket, backlog) != 0
        || ::getsockname(socket, reinterpret_cast<sockaddr*>(&own), &length) != 0) {
        why = systemErrorText(::WSAGetLastError());
        return nullptr;
    }
    return std::unique_ptr<TcpListener>(new TcpListener(std::move(held), ntohs(own.sin_port)));
}

std::unique_ptr<Transport> TcpListener::accept(int timeoutMs, ports::TcpAddress& peer)
{
    if (waitFor(socket_->socket, false, timeoutMs) <= 0)
        return nullptr;
    sockaddr_in from{};
    int length = sizeof from;
    const SOCKET socket = ::accept(socket_->socket, reinterpret_cast<sockaddr*>(&from), &length);
    if (socket == INVALID_SOCKET)
        return nullptr;   // gone again before it was taken: the next accept tries anew
    // Non-blocking as every connection of the library's, whose sends wait with select().
    u_long nonBlocking = 1;
    ::ioctlsocket(socket, FIONBIO, &nonBlocking);
    peer = {ntohl(from.sin_addr.s_addr), ntohs(from.sin_port)};
    return std::unique_ptr<Transport>(new WinsockTransport(socket));
}

} // namespace readerlib
