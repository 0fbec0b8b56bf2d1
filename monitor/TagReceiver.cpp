#include "TagReceiver.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <array>

namespace {

// Bytes taken from a socket at a time.
constexpr qint64 takeAtOnce = 16 * 1024;

QString peerOf(const QTcpSocket* socket)
{
    return QStringLiteral("%1:%2").arg(socket->peerAddress().toString()).arg(socket->peerPort());
}

} // namespace

struct TagReceiver::Connection {
    QTcpSocket* socket;
    tagframe::Decoder decoder;
};

TagReceiver::TagReceiver(ReadSink sink, QObject* parent) : QObject(parent), sink_(std::move(sink))
{
    connectTimer_ = new QTimer(this);
    connectTimer_->setSingleShot(true);
    connectTimer_->setInterval(connectTimeoutMs);
}

TagReceiver::~TagReceiver()
{
    stop();
}

bool TagReceiver::running() const
{
    return server_ || !connections_.empty();
}

uint64_t TagReceiver::strayBytes() const
{
    uint64_t stray = strayOfClosed_;
    for (const auto& connection : connections_)
        stray += connection->decoder.strayBytes();
    return stray - strayForgotten_;
}

void TagReceiver::forgetStray()
{
    strayForgotten_ += strayBytes();
    straySample_.clear();
}

std::unique_ptr<TagReceiver::Connection> TagReceiver::makeConnection(QTcpSocket* socket, const tagframe::Format& format)
{
    // What arrives is taken at once; the limit only keeps a stalled window from
    // holding an unbounded buffer.
    socket->setReadBufferSize(4 * takeAtOnce);
    auto connection = std::make_unique<Connection>(Connection{socket, tagframe::Decoder(format)});
    Connection* raw = connection.get();
    connect(socket, &QTcpSocket::readyRead, this, [this, raw] { take(*raw); });
    return connection;
}

std::optional<QString> TagReceiver::listen(uint16_t port, const tagframe::Format& format)
{
    stop();
    forgetStray();
    format_ = format;
    server_ = new QTcpServer(this);
    if (!server_->listen(QHostAddress::AnyIPv4, port)) {
        const QString why = server_->errorString();
        delete server_;
        server_ = nullptr;
        return why;
    }
    connect(server_, &QTcpServer::newConnection, this, &TagReceiver::accept);
    return std::nullopt;
}

void TagReceiver::accept()
{
    while (server_ && server_->hasPendingConnections()) {
        QTcpSocket* socket = server_->nextPendingConnection();
        const QString peer = peerOf(socket);
        if (connections_.size() >= std::size_t(maxConnections)) {
            emit note(QStringLiteral("A reader at %1 was turned away: %2 readers are connected already.")
                          .arg(peer)
                          .arg(maxConnections));
            socket->abort();
            socket->deleteLater();
            continue;
        }
        // The peer's name is kept: a socket that has disconnected names none.
        connect(socket, &QTcpSocket::disconnected, this, [this, socket, peer] {
            emit note(QStringLiteral("The reader at %1 left.").arg(peer));
            drop(socket);
        });
        connections_.push_back(makeConnection(socket, *format_));
        emit note(QStringLiteral("A reader at %1 connected.").arg(peer));
        // Bytes may have come with the connection already.
        take(*connections_.back());
    }
}

void TagReceiver::connectTo(const QHostAddress& address, uint16_t port, const tagframe::Format& format)
{
    stop();
    forgetStray();
    format_ = format;
    auto* socket = new QTcpSocket(this);
    const QString peer = QStringLiteral("%1:%2").arg(address.toString()).arg(port);
    connections_.push_back(makeConnection(socket, format));

    // The one connection ending, however it ends, ends the receiving.
    const auto end = [this, socket](const QString& why) {
        connectTimer_->stop();
        drop(socket);
        emit stopped(why);
    };
    connect(socket, &QTcpSocket::connected, this, [this, peer] {
        connectTimer_->stop();
        emit note(QStringLiteral("Connected to the reader at %1.").arg(peer));
    });
    connect(socket, &QTcpSocket::errorOccurred, this, [socket, peer, end](QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::RemoteHostClosedError)
            end(QStringLiteral("The reader at %1 closed the connection.").arg(peer));
        else
            end(QStringLiteral("The connection to the reader at %1 failed: %2.").arg(peer, socket->errorString()));
    });
    connectTimer_->disconnect();
    connect(connectTimer_, &QTimer::timeout, this, [peer, end] {
        end(QStringLiteral("The reader at %1 did not answer within %2 s.").arg(peer).arg(connectTimeoutMs / 1000));
    });
    connectTimer_->start();
    socket->connectToHost(address, port);
}

void TagReceiver::take(Connection& connection)
{
    std::array<uint8_t, takeAtOnce> buffer;
    for (;;) {
        const qint64 got = connection.socket->read(reinterpret_cast<char*>(buffer.data()), qint64(buffer.size()));
        if (got <= 0)
            break;
        const uint64_t strayBefore = connection.decoder.strayBytes();
        connection.decoder.feed(std::span<const uint8_t>(buffer.data(), std::size_t(got)), reads_);
        if (connection.decoder.strayBytes() != strayBefore)
            straySample_ = connection.decoder.straySample();
        if (!reads_.empty())
            sink_(reads_);
        reads_.clear();
    }
}

void TagReceiver::drop(QTcpSocket* socket)
{
    for (auto it = connections_.begin(); it != connections_.end(); ++it) {
        Connection& connection = **it;
        if (connection.socket != socket)
            continue;
        // What is still to read, then the cut frame it may end with.
        take(connection);
        const uint64_t strayBefore = connection.decoder.strayBytes();
        connection.decoder.finish();
        if (connection.decoder.strayBytes() != strayBefore)
            straySample_ = connection.decoder.straySample();
        strayOfClosed_ += connection.decoder.strayBytes();
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
        connections_.erase(it);
        return;
    }
}

void TagReceiver::stop()
{
    connectTimer_->stop();
    // Closed by the operator: a frame cut by the stop is no fault of the reader's, so it is not counted.
    for (const auto& connection : connections_) {
        strayOfClosed_ += connection->decoder.strayBytes();
        connection->socket->disconnect(this);
        connection->socket->abort();
        connection->socket->deleteLater();
    }
    connections_.clear();
    if (server_) {
        server_->close();
        server_->deleteLater();
        server_ = nullptr;
    }
}
