// A link over a non-blocking POSIX file descriptor: the common ground of the
// TCP connection and the pseudo-terminal. Owns the descriptor.
#pragma once

#include "Transport.h"

namespace readerlib {

// poll() on one descriptor, retried when a signal interrupts it: >0 ready,
// 0 timed out, <0 failed.
int pollOne(int fd, short events, int timeoutMs);

class FdTransport : public Transport {
public:
    ~FdTransport() override;

    uint16_t send(const uint8_t* data, std::size_t size) override;
    uint16_t receive(uint8_t* buffer, std::size_t capacity, int timeoutMs, std::size_t& received) override;

protected:
    // isSocket: send with MSG_NOSIGNAL, so a reader that hung up gives
    // READER_LINK_LOST and not SIGPIPE, and MSG_DONTWAIT, so that a socket
    // that blocks does not when sending.
    FdTransport(int fd, bool isSocket) : fd_(fd), isSocket_(isSocket) {}
    int fd() const { return fd_; }

private:
    int fd_;
    bool isSocket_;
};

} // namespace readerlib
