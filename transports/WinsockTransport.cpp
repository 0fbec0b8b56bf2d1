#include "WinsockTransport.h"

#include "Reader.h"
#include "Status.h"
#include "Timeouts.h"

#include <algorithm>
#include <climits>
#include <ws2tcpip.h>

namespace readerlib {

bool winsockStarted()
{
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

int waitFor(SOCKET socket, bool forWriting, int timeoutMs)
{
    fd_set ready;
    fd_set failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(socket, &ready);
    FD_SET(socket, &failed);
    timeval wait{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    if (!forWriting)
        return ::select(0, &ready, nullptr, nullptr, &wait);
    const int count = ::select(0, nullptr, &ready, &failed, &wait);
    return count > 0 && !FD_ISSET(socket, &ready) ? -1 : count;
}

sockaddr_in socketAddress(uint32_t address, uint16_t port)
{
    sockaddr_in socket{};
    socket.sin_family = AF_INET;
    socket.sin_port = htons(port);
    socket.sin_addr.s_addr = htonl(address);
    return socket;
}

namespace {

// Why a connection did not come about, by Winsock's error.
uint16_t connectFailure(int error)
{
    switch (error) {
    case WSAECONNREFUSED:
        return READER_FAIL(READER_CONNECTION_REFUSED, "connection refused");
    case WSAENETUNREACH:
    case WSAEHOSTUNREACH:
        return READER_FAIL(READER_UNREACHABLE, "no route to host");
    case WSAETIMEDOUT:
        return READER_FAIL(READER_CONNECT_TIMEOUT, "connect timed out");
    default:
        return READER_FAIL(READER_OPEN_FAILED, "connect failed");
    }
}

} // namespace

std::unique_ptr<WinsockTransport> WinsockTransport::connect(uint32_t address, uint16_t port, int connectTimeoutMs,
                                                            uint16_t& status)
{
    if (!winsockStarted()) {
        status = READER_FAIL(READER_OPEN_FAILED, "Winsock did not start");
        return nullptr;
    }
    // Not inherited, so a program the caller starts does not keep the reader's connection open.
    const SOCKET socket = ::WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    if (socket == INVALID_SOCKET) {
        status = READER_FAIL(READER_OPEN_FAILED, "no socket");
        return nullptr;
    }
    std::unique_ptr<WinsockTransport> transport(new WinsockTransport(socket));

    const BOOL one = TRUE;
    ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
    u_long nonBlocking = 1;
    ::ioctlsocket(socket, FIONBIO, &nonBlocking);

    const sockaddr_in peer = socketAddress(address, port);
    // Non-blocking connect, so an unreachable reader costs the connect timeout
    // and not the system's 21 s.
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) {
        if (const int error = ::WSAGetLastError(); error != WSAEWOULDBLOCK) {
            status = connectFailure(error);
            return nullptr;
        }
        const int ready = waitFor(socket, true, connectTimeoutMs);
        if (ready == 0) {
            status = READER_FAIL(READER_CONNECT_TIMEOUT, "connect timed out");
            return nullptr;
        }
        int error = 0;
        int length = sizeof error;
        if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0)
            error = ::WSAGetLastError();
        if (ready < 0 || error != 0) {
            status = connectFailure(error);
            return nullptr;
        }
    }
    status = READER_OK;
    return transport;
}

WinsockTransport::~WinsockTransport()
{
    ::closesocket(socket_);
}

uint16_t WinsockTransport::send(const uint8_t* data, std::size_t size)
{
    while (size > 0) {
        const int chunk = static_cast<int>(std::min<std::size_t>(size, INT_MAX));
        const int written = ::send(socket_, reinterpret_cast<const char*>(data), chunk, 0);
        if (written > 0) {
            data += written;
            size -= static_cast<std::size_t>(written);
            continue;
        }
        if (written == SOCKET_ERROR && ::WSAGetLastError() == WSAEWOULDBLOCK) {
            if (waitFor(socket_, true, kSendTimeoutMs) <= 0)
                return READER_FAIL(READER_LINK_LOST, "reader does not take data");
            continue;
        }
        return READER_FAIL(READER_LINK_LOST, "send failed");
    }
    return READER_OK;
}

uint16_t WinsockTransport::receive(uint8_t* buffer, std::size_t capacity, int timeoutMs, std::size_t& received)
{
    received = 0;
    if (timeoutMs > 0) {
        const int ready = waitFor(socket_, false, timeoutMs);
        if (ready == 0)
            return READER_OK;
        if (ready < 0)
            return READER_FAIL(READER_LINK_LOST, "select failed");
    }
    const int chunk = static_cast<int>(std::min<std::size_t>(capacity, INT_MAX));
    const int got = ::recv(socket_, reinterpret_cast<char*>(buffer), chunk, 0);
    if (got > 0) {
        received = static_cast<std::size_t>(got);
        return READER_OK;
    }
    if (got == SOCKET_ERROR && ::WSAGetLastError() == WSAEWOULDBLOCK)
        return READER_OK;
    return READER_FAIL(READER_LINK_LOST, got == 0 ? "reader closed the link" : "receive failed");
}

} // namespace readerlib
