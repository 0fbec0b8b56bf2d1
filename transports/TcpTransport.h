// A reader on the network: one TCP connection, Nagle off so that each small
// request leaves at once. Once connected the socket blocks, for at most its
// receive timeout, so that waiting for an answer and reading it is one system
// call; everything that must not wait says so itself (MSG_DONTWAIT).
#pragma once

#include "FdTransport.h"

#include <memory>
#include <netinet/in.h>

namespace readerlib {

// The socket address of address:port, both in host byte order.
sockaddr_in socketAddress(uint32_t address, uint16_t port);

class TcpTransport final : public FdTransport {
public:
    // Connects to address:port (host byte order) within connectTimeoutMs.
    // status is READER_OK, or READER_OPEN_FAILED with a null result.
    static std::unique_ptr<TcpTransport> connect(uint32_t address, uint16_t port, int connectTimeoutMs, uint16_t& status);

    uint16_t receive(uint8_t* buffer, std::size_t capacity, int timeoutMs, std::size_t& received) override;

private:
    friend class TcpListener;   // hands over the connections it accepts
    // socket: connected, and blocking; receive() waits in it for at most its receive timeout.
    explicit TcpTransport(int socket) : FdTransport(socket, true) {}
    // Sets the socket's receive timeout near timeoutMs; false when the system refuses.
    bool waitAtMost(int timeoutMs);

    int receiveTimeoutMs_ = 0;   // the socket's receive timeout; 0: none set (it would block for ever)
};

} // namespace readerlib
