// One virtual reader: its protocol state and parameter memory, the tags it
// reads and reports, its connection to a server in client mode, and what its
// tag output sent. The event loop hands it requests and runs it when it is
// due; several of them could share one loop.
#pragma once

#include "FrameCodec.h"
#include "ReaderState.h"
#include "ServerLink.h"
#include "TagReading.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace sim {

// What the reader's tag output did, for `status` on the control socket.
struct TagOutputCounts {
    uint64_t sent = 0;      // frames a port or connection took, counted once for each
    uint64_t dropped = 0;   // frames a port or connection could not take
    uint8_t unsimulatedPortsLogged = 0;   // output port bits already said to be not simulated
};

class SimReader {
public:
    using Clock = std::chrono::steady_clock;

    SimReader(ReaderState state, TagReading tags) : state_(std::move(state)), tags_(std::move(tags)) {}

    // Power-up: the reader starts working as its memory says.
    void start(Clock::time_point now);
    // The answer to one request, after which the tag output follows what it
    // changed; nothing when its memory waits to be saved (ReaderState::saveLater).
    std::optional<frame::Frame> handle(const frame::Frame& request, Clock::time_point now);
    // The answer to the write whose memory was to be saved, once it was (or was not).
    frame::Frame settleSave(bool saved, Clock::time_point now);
    void setTriggerInput(unsigned input, bool active, Clock::time_point now);

    std::optional<Clock::time_point> nextDue() const;
    // Reads and sends what is due; frames go to send.
    void runDue(Clock::time_point now, const TagReading::Send& send);

    // One line: whether it reads, and what it read, sent and dropped.
    std::string status() const;

    const ReaderState& state() const { return state_; }
    ServerLink& server() { return server_; }
    TagOutputCounts& counts() { return counts_; }

private:
    // What the tag reading and the server link do after a command the reader took.
    void follow(uint8_t command, Clock::time_point now);

    ReaderState state_;
    TagReading tags_;
    ServerLink server_;
    TagOutputCounts counts_;
};

} // namespace sim
