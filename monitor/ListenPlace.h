// Where the Tag Monitor takes a reader's tag frames from, and whether the
// main window's link holds that port already.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

struct TcpEndpoint {
    uint32_t address = 0;   // IPv4, host byte order
    uint16_t port = 0;

    bool operator==(const TcpEndpoint&) const = default;
    QString text() const;   // "127.0.0.1:4001"
};

// A reader's TCP address as the window's IP address field takes it,
// "192.168.1.200" or "192.168.1.200:5000"; an address without a port gets the
// port the device library would take for it (READER_TCP_PORT, else 4001).
std::optional<TcpEndpoint> readerEndpoint(const QString& text);

// Whether the main window's link, open on link, holds the port of this
// computer the monitor would listen on for readers in client mode (a link to
// the reader's own port holds it when the endpoints are equal).
bool linkOnLocalPort(const TcpEndpoint& link, uint16_t listenPort);
