// The listening TCP sockets of the virtual readers, one a reader.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

struct TcpListener {
    int fd = -1;
    uint16_t port = 0;   // the port actually bound (port 0 asks the system for a free one)
};

// Non-blocking listening sockets on count consecutive addresses from first
// (host byte order), all on port; port 0 picks one that is free at every
// address. All of them, or none with the reason in error.
std::vector<TcpListener> openTcpListeners(uint32_t first, std::size_t count, uint16_t port, std::string& error);

void closeTcpListeners(std::vector<TcpListener>& listeners);

} // namespace sim
