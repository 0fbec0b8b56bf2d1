// The listening TCP socket of the virtual reader.
#pragma once

#include <cstdint>
#include <string>

namespace sim {

struct TcpListener {
    int fd = -1;
    uint16_t port = 0;   // the port actually bound (port 0 asks the system for a free one)
};

// Opens a non-blocking listening socket on host:port; fd stays -1 on failure, with the reason in error.
TcpListener openTcpListener(const std::string& host, uint16_t port, std::string& error);

} // namespace sim
