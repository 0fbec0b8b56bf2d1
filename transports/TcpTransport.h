// A reader on the network: one TCP connection, Nagle off so that each small
// request leaves at once.
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

private:
    friend class TcpListener;   // hands over the connections it accepts
    explicit TcpTransport(int socket) : FdTransport(socket, true) {}
};

} // namespace readerlib
