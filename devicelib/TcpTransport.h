// A reader on the network: one TCP connection, Nagle off so that each small
// request leaves at once.
#pragma once

#include "Transport.h"

#include <memory>

namespace readerlib {

class TcpTransport final : public Transport {
public:
    // Connects to address:port (host byte order) within connectTimeoutMs.
    // status is READER_OK, or READER_OPEN_FAILED with a null result.
    static std::unique_ptr<TcpTransport> connect(uint32_t address, uint16_t port, int connectTimeoutMs, uint16_t& status);
    ~TcpTransport() override;

    uint16_t send(const uint8_t* data, std::size_t size) override;
    uint16_t receive(uint8_t* buffer, std::size_t capacity, int timeoutMs, std::size_t& received) override;
    bool drainBeforeRequest() const override { return false; }

private:
    explicit TcpTransport(int socket) : socket_(socket) {}
    int socket_;
};

} // namespace readerlib
