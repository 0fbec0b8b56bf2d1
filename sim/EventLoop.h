// One thread, one poll(): accepts TCP clients, reads the pseudo-terminal,
// decodes frames, asks the reader for answers and sends them, applying the
// fault options (silent, late, slow, lost frames, garbage, dropped connections)
// on the way; runs the reader when its tag reading is due and sends its tag
// frames on the output ports; serves the control socket.
#pragma once

#include "ControlSocket.h"
#include "FrameCodec.h"
#include "PtyClients.h"
#include "PtyPort.h"
#include "SimOptions.h"
#include "SimReader.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace sim {

// TCP clients served at once. Further connections wait in the listen queue
// until one leaves or an idle one gives way (SimOptions::idleSeconds); so do
// all of them while the process is out of descriptors.
constexpr std::size_t kMaxTcpClients = 256;

class EventLoop {
public:
    EventLoop(const SimOptions& options, SimReader& reader);
    ~EventLoop();

    void serveTcp(int listenFd);
    void servePty(const PtyPort& port);   // the loop reads and writes it but does not close it
    void serveControl(ControlSocket& control);

    // Runs until stopFd becomes readable.
    void run(int stopFd);

private:
    using Clock = std::chrono::steady_clock;

    // One connection readersim serves: a TCP client, or the pseudo-terminal's line.
    struct Connection {
        int fd = -1;
        bool pty = false;
        frame::Decoder decoder;
        std::vector<uint8_t> out;
        Clock::time_point lastInput;   // when the last bytes came in (TCP: or when the client connected)
        bool reading = false;          // polled for input in this round of the loop
        unsigned frames = 0;       // frames received on this connection
        unsigned scheduled = 0;    // answers still waiting for their time
        std::size_t scheduledBytes = 0;
        bool closing = false;      // TCP: close once everything owed is sent
        bool deaf = false;         // pty: read and discard everything from now on
    };
    struct LateAnswer {
        Clock::time_point due;
        uint64_t connection;
        std::vector<uint8_t> bytes;
    };

    int pollTimeoutMs() const;
    bool listening() const;
    void acceptClients();
    // The TCP client to give way to a waiting connection while every slot is
    // taken: one quiet for the idle time, one that never sent a frame first,
    // else the one quiet longest. Nothing when no client is quiet that long.
    std::optional<uint64_t> idleClient() const;
    std::optional<Clock::time_point> nextIdleClientDue() const;
    void readConnection(uint64_t id, Connection& connection);
    void takeFrames(uint64_t id, Connection& connection);
    void giveUpQuietPartials();
    void forgetPtyClient();
    std::size_t owed(const Connection& connection) const
    {
        return connection.out.size() + connection.scheduledBytes;
    }
    void writeConnection(uint64_t id, Connection& connection);
    void onFrame(uint64_t id, Connection& connection, const frame::Frame& request);
    void scheduleAnswer(uint64_t id, Connection& connection, std::vector<uint8_t> bytes);
    void queueOutput(Connection& connection, const std::vector<uint8_t>& bytes);
    void releaseDueAnswers();
    void closeFinishedConnections();
    void closeConnection(uint64_t id);
    // One tag frame to every output port the reader's settings name.
    void sendTagFrame(const std::vector<uint8_t>& frame);
    // False when the connection already owes too much: the frame is dropped.
    bool queueTagFrame(Connection& connection, const std::vector<uint8_t>& frame);

    const SimOptions& options_;
    SimReader& reader_;
    ControlSocket* control_ = nullptr;
    int listenFd_ = -1;
    std::size_t tcpClients_ = 0;
    Clock::time_point acceptPausedUntil_;   // out of descriptors: retry accepting after this
    int ptySlaveFd_ = -1;
    uint64_t ptyId_ = 0;
    std::unique_ptr<PtyClients> ptyClients_;
    uint64_t nextId_ = 1;
    std::map<uint64_t, Connection> connections_;
    std::deque<LateAnswer> lateAnswers_;   // in due order: every answer waits the same delay after its work
    Clock::time_point workDoneAt_;         // --work-ms: when the reader is through with the requests it holds
    std::vector<uint64_t> dead_;
};

} // namespace sim
