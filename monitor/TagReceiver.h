// Receives what readers send when they read tags, over TCP: either as the
// server that readers in client mode connect to (any number of readers at
// once, up to maxConnections, each on a decoder of its own), or as a client
// of one reader's own TCP port. Every frame found goes to the sink; the bytes
// that make no frame are counted, and the last of them kept.
#pragma once

#include "TagDecoder.h"

#include <QHostAddress>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

class QTcpServer;
class QTcpSocket;
class QTimer;

class TagReceiver : public QObject {
    Q_OBJECT
public:
    // Readers connected at once while listening; a further one is closed at once.
    static constexpr int maxConnections = 64;
    // How long a connection to a reader may take to be made.
    static constexpr int connectTimeoutMs = 3000;

    using ReadSink = std::function<void(std::span<const tagframe::TagRead>)>;

    TagReceiver(ReadSink sink, QObject* parent = nullptr);
    ~TagReceiver() override;

    // Listens on port of every IPv4 address of this computer; the error text
    // when it cannot ("The bound address is already in use").
    std::optional<QString> listen(uint16_t port, const tagframe::Format& format);
    // Connects to a reader's TCP port; stopped() says if that fails.
    void connectTo(const QHostAddress& address, uint16_t port, const tagframe::Format& format);
    // Closes every connection and the listening port. Nothing is reported.
    void stop();
    bool running() const;

    // Bytes that made no frame since the last start, of every connection; a
    // connection closed with a cut frame counts its bytes too.
    uint64_t strayBytes() const;
    // The last bytes that made no frame (at most tagframe::Decoder::straySampleSize).
    const std::vector<uint8_t>& straySample() const { return straySample_; }
    // Counts the bytes that made no frame from now on, with no sample yet.
    void forgetStray();

signals:
    // A line for the operator: a reader connected or left.
    void note(const QString& line);
    // The one connection to a reader failed or ended: nothing is received any more.
    void stopped(const QString& why);

private:
    struct Connection;
    void accept();
    void take(Connection& connection);
    void drop(QTcpSocket* socket);
    std::unique_ptr<Connection> makeConnection(QTcpSocket* socket, const tagframe::Format& format);

    ReadSink sink_;
    std::optional<tagframe::Format> format_;
    QTcpServer* server_ = nullptr;
    std::vector<std::unique_ptr<Connection>> connections_;
    QTimer* connectTimer_ = nullptr;
    uint64_t strayOfClosed_ = 0;
    uint64_t strayForgotten_ = 0;   // strayBytes() when last forgotten
    std::vector<uint8_t> straySample_;
    std::vector<tagframe::TagRead> reads_;   // one read's frames, reused
};
