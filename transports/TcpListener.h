// A TCP server that readers in client mode connect to, to send their tag
// output (docs/tag-output.md): it listens on one address and port and hands
// each connection over as a transport. One file a system implements it
// (TcpListenerPosix.cpp, TcpListenerWindows.cpp).
#pragma once

#include "PortName.h"
#include "Transport.h"

#include <cstdint>
#include <memory>
#include <string>

namespace readerlib {

class TcpListener {
public:
    // Listens on address:port (host byte order; port 0: one the system
    // chooses). Null, with the system's reason in why, when it cannot (the
    // port is taken, the address is none of this machine's).
    static std::unique_ptr<TcpListener> listen(uint32_t address, uint16_t port, std::string& why);
    ~TcpListener();
    TcpListener(const TcpListener&) = delete;
    TcpListener& operator=(const TcpListener&) = delete;

    // The port listened on.
    uint16_t port() const { return port_; }

    // Waits up to timeoutMs for a reader to connect: its connection, and its
    // address and port in peer; null when none came.
    std::unique_ptr<Transport> accept(int timeoutMs, ports::TcpAddress& peer);

private:
    struct Socket;
    TcpListener(std::unique_ptr<Socket> socket, uint16_t port);

    std::unique_ptr<Socket> socket_;
    uint16_t port_;
};

} // namespace readerlib
