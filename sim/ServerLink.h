// Client mode: the reader's own TCP connection to the server that takes its
// tag frames. It connects while the settings say so, tries again every few
// seconds while the server is away, and drops the frames it cannot send
// rather than keep them: a server that never reads, or goes away mid-frame,
// costs the reader nothing but those frames (docs/tag-output.md, "Client mode").
#pragma once

#include "ReaderState.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace sim {

// How long a server may be away before the next try, and may take to accept.
constexpr auto kServerRetry = std::chrono::seconds(3);
// Frames on their way to the server: what comes beyond is dropped.
constexpr std::size_t kMaxServerBacklog = 16 * 1024;

class ServerLink {
public:
    using Clock = std::chrono::steady_clock;
    enum class State { Off, Waiting, Connecting, Connected };

    ServerLink() = default;
    ~ServerLink();
    ServerLink(const ServerLink&) = delete;
    ServerLink& operator=(const ServerLink&) = delete;

    // Connects, stays or closes as the settings say.
    void follow(const ParameterMemory& memory, Clock::time_point now);
    // Queues a frame for the server; false when it is dropped instead.
    bool send(const std::vector<uint8_t>& frame);

    // For the event loop: the socket to poll (-1: none) and for what.
    int fd() const { return fd_; }
    short events() const;
    void onReady(short revents, Clock::time_point now);
    std::optional<Clock::time_point> nextDue() const;
    void runDue(Clock::time_point now);

    State state() const { return state_; }
    // Frames lost when a connection broke before they were all sent.
    uint64_t lost() const { return lost_; }

private:
    struct Server {
        std::array<uint8_t, 4> address{};
        uint16_t port = 0;
        bool operator==(const Server&) const = default;
    };

    std::string name() const;
    void connect(Clock::time_point now);
    void connected();
    void failed(const std::string& reason, Clock::time_point now);
    void close();
    void flush(Clock::time_point now);
    void sent(std::size_t bytes);

    std::optional<Server> server_;
    State state_ = State::Off;
    int fd_ = -1;
    Clock::time_point due_;       // Waiting: the next try; Connecting: when to give up
    bool outageLogged_ = false;   // one line a time the server is away, not one a try
    std::vector<uint8_t> queue_;
    std::deque<std::size_t> frameSizes_;   // of the frames in queue_; the first one partly sent by frontSent_
    std::size_t frontSent_ = 0;
    uint64_t lost_ = 0;
};

} // namespace sim
