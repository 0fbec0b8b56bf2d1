// A reader on the network, from Windows: one Winsock TCP connection, Nagle
// off so that each small request leaves at once.
#pragma once

#include "Transport.h"

#include <memory>
#include <winsock2.h>

namespace readerlib {

// Winsock is started once for the life of the process (the system cleans up
// at exit); false when it cannot be.
bool winsockStarted();

// select() on one socket: >0 ready, 0 timed out, <0 failed. A connect that
// fails shows in the exception set.
int waitFor(SOCKET socket, bool forWriting, int timeoutMs);

// The socket address of address:port, both in host byte order.
sockaddr_in socketAddress(uint32_t address, uint16_t port);

class WinsockTransport final : public Transport {
public:
    // Connects to address:port (host byte order) within connectTimeoutMs.
    // status is READER_OK, or READER_OPEN_FAILED with a null result.
    static std::unique_ptr<WinsockTransport> connect(uint32_t address, uint16_t port, int connectTimeoutMs,
                                                     uint16_t& status);
    ~WinsockTransport() override;

    uint16_t send(const uint8_t* data, std::size_t size) override;
    uint16_t receive(uint8_t* buffer, std::size_t capacity, int timeoutMs, std::size_t& received) override;

private:
    friend class TcpListener;   // hands over the connections it accepts
    explicit WinsockTransport(SOCKET socket) : socket_(socket) {}
    SOCKET socket_;
};

} // namespace readerlib
