// One thread, one poll(): accepts TCP clients, reads the pseudo-terminal,
// decodes frames, asks the reader state for answers and sends them, applying
// the fault options (silent, late, garbage, dropped links) on the way.
#pragma once

#include "FrameCodec.h"
#include "ReaderState.h"
#include "SimOptions.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <vector>

namespace sim {

class EventLoop {
public:
    EventLoop(const SimOptions& options, ReaderState& reader);
    ~EventLoop();

    void serveTcp(int listenFd);
    void servePty(int masterFd);   // the loop reads and writes it but does not close it

    // Runs until stopFd becomes readable.
    void run(int stopFd);

private:
    using Clock = std::chrono::steady_clock;

    struct Link {
        int fd = -1;
        bool pty = false;
        frame::Decoder decoder;
        std::vector<uint8_t> out;
        unsigned frames = 0;       // frames received on this link
        unsigned scheduled = 0;    // answers still waiting for their time
        bool closing = false;      // TCP: close once everything owed is sent
        bool deaf = false;         // pty: read and discard everything from now on
    };
    struct LateAnswer {
        Clock::time_point due;
        uint64_t link;
        std::vector<uint8_t> bytes;
    };

    int pollTimeoutMs() const;
    void acceptClients();
    void readLink(uint64_t id, Link& link);
    void writeLink(uint64_t id, Link& link);
    void onFrame(uint64_t id, Link& link, const frame::Frame& request);
    void queueOutput(Link& link, const std::vector<uint8_t>& bytes);
    void releaseDueAnswers();
    void closeFinishedLinks();
    void closeLink(uint64_t id);

    const SimOptions& options_;
    ReaderState& reader_;
    int listenFd_ = -1;
    uint64_t nextId_ = 1;
    std::map<uint64_t, Link> links_;
    std::deque<LateAnswer> lateAnswers_;   // in due order: every answer waits the same delay
    std::vector<uint64_t> dead_;
};

} // namespace sim
