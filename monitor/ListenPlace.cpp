#include "ListenPlace.h"

#include "PortName.h"

#include <QHostAddress>
#include <QNetworkInterface>

#include <cstdlib>

QString TcpEndpoint::text() const
{
    return QStringLiteral("%1:%2").arg(QHostAddress(address).toString()).arg(port);
}

std::optional<TcpEndpoint> readerEndpoint(const QString& text)
{
    const auto parsed = ports::tcpAddress(text.trimmed().toStdString());
    if (!parsed)
        return std::nullopt;
    return TcpEndpoint{parsed->address, parsed->port.value_or(ports::unnamedTcpPort(std::getenv("READER_TCP_PORT")))};
}

bool linkOnLocalPort(const TcpEndpoint& link, uint16_t listenPort)
{
    if (link.port != listenPort)
        return false;
    const QHostAddress address(link.address);
    return address.isLoopback() || QNetworkInterface::allAddresses().contains(address);
}
