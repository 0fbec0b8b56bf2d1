// A bare client of the reader protocol for the virtual reader's tests: raw
// frames over TCP or the pseudo-terminal, through the shared frame codec.
#pragma once

#include "FrameCodec.h"
#include "Protocol.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The two ports of readersim a client can come through.
enum class Link { Tcp, Pty };

class SimClient {
public:
    // address: a dotted IPv4 address, a reader of a fleet readersim.
    static SimClient overTcp(uint16_t port, const std::string& address = "127.0.0.1");
    static SimClient overPty(const std::string& path);
    SimClient(SimClient&& other) noexcept;
    ~SimClient();

    void sendBytes(const std::vector<uint8_t>& bytes);
    // Sends a request frame with the next sequence number; returns that number.
    uint8_t send(proto::Command command, std::vector<uint8_t> payload = {}, uint8_t station = proto::kStationAny);
    // The next frame received within timeoutMs.
    std::optional<frame::Frame> receive(int timeoutMs = 2000);
    // Sends a request and waits for its answer.
    std::optional<frame::Frame> call(proto::Command command, std::vector<uint8_t> payload = {},
                                     uint8_t station = proto::kStationAny);
    // True when the peer closes the connection within timeoutMs.
    bool closedByPeer(int timeoutMs);

    std::size_t discardedBytes() const { return decoder_.discardedBytes(); }

private:
    explicit SimClient(int fd);

    int fd_ = -1;
    uint8_t seq_ = 0;
    frame::Decoder decoder_;
};

// Reads and writes through the protocol, for tests that only care about values.
std::vector<uint8_t> readParameter(SimClient& client, uint8_t address, uint8_t length);
proto::ReaderStatus writeParameter(SimClient& client, uint8_t address, std::vector<uint8_t> bytes);
