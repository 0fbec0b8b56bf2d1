// One thread, one epoll: serves every reader of the fleet (one, or one an
// address of a range). Accepts each reader's TCP clients, reads the
// pseudo-terminal (one reader only), decodes frames, asks the reader for
// answers and sends them, applying the fault options (silent, late, slow,
// lost frames, garbage, dropped connections) on the way; runs a reader when
// its tag reading is due and sends its tag frames on its output ports; serves
// the control socket. The work of a round is what became ready, never a walk
// over every reader or connection, so a thousand idle readers cost nothing.
// When every answer is held back (--delay-ms, --work-ms on every reader) and
// some are owed, a request cannot be due before the next round: the TCP
// connections are then read once a round, not as each request comes, and each
// answer's time counts from when its request came in (the system's time stamp).
#pragma once

#include "ControlSocket.h"
#include "Epoll.h"
#include "FrameCodec.h"
#include "PtyClients.h"
#include "PtyPort.h"
#include "ReaderFleet.h"
#include "SimOptions.h"
#include "StateSaver.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

namespace sim {

// TCP clients a reader serves at once. Further connections wait in the listen
// queue until one leaves or an idle one gives way (SimOptions::idleSeconds);
// so do all of them while the process is out of descriptors.
constexpr std::size_t kMaxTcpClients = 256;

class EventLoop {
public:
    EventLoop(const SimOptions& options, std::vector<FleetReader>& readers);
    ~EventLoop();

    void serveTcp(std::size_t reader, int listenFd);
    void servePty(const PtyPort& port);   // the first reader's; read and written here, not closed
    void serveControl(ControlSocket& control);

    // Starts the readers and runs until stopFd becomes readable.
    void run(int stopFd);

private:
    using Clock = std::chrono::steady_clock;

    // One connection readersim serves: a TCP client, or the pseudo-terminal's line.
    struct Connection {
        int fd = -1;
        bool pty = false;
        std::size_t reader = 0;
        frame::Decoder decoder;
        std::vector<uint8_t> out;
        Clock::time_point lastInput;   // when the last bytes were read (TCP: or when the client connected)
        Clock::time_point arrived;     // when the last bytes read came in
        uint32_t watched = 0;      // the events epoll watches it for
        bool touched = false;      // in touched_: its output and watch are settled at the round's end
        unsigned frames = 0;       // frames received on this connection
        unsigned scheduled = 0;    // answers still waiting for their time
        std::size_t scheduledBytes = 0;
        bool closing = false;      // TCP: close once everything owed is sent
        bool deaf = false;         // pty: read and discard everything from now on
    };
    // What the loop keeps for one reader beside the reader itself.
    struct Served {
        // Its memory is being saved to its state file: it answers that write
        // when it is, and takes no request meanwhile.
        bool saving = false;
        uint64_t savingFor = 0;                 // the connection the write came on
        int listenFd = -1;
        bool accepting = false;                 // its listening socket is watched
        std::set<uint64_t> clients;             // its TCP connections
        Clock::time_point workDoneAt;           // --work-ms: when it is through with the requests it holds
        std::optional<Clock::time_point> due;   // when it is entered in dueReaders_
    };
    struct LateAnswer {
        Clock::time_point due;
        uint64_t order;   // answers due at once leave in the order they were made
        uint64_t connection;
        std::vector<uint8_t> bytes;
        bool operator>(const LateAnswer& other) const
        {
            return std::pair(due, order) > std::pair(other.due, other.order);
        }
    };

    SimReader& readerOf(std::size_t reader) { return *readers_[reader].reader; }
    bool faulty(const Connection& connection) const { return readers_[connection.reader].faulty; }
    std::optional<std::chrono::nanoseconds> waitTimeout() const;
    void handleEvent(const epoll_event& event);
    // Whether a round waits for requests too, or comes at its time only.
    void watchRequests();

    // Listening: a reader's socket is watched while it may accept; the
    // readers whose socket is not wait in holding_ until it may again.
    bool mayAccept(std::size_t reader) const;
    void settleListener(std::size_t reader);
    void settleHeldListeners();
    void acceptClients(std::size_t reader);
    // The TCP client of reader to give way to a waiting connection while every
    // slot is taken: one quiet for the idle time, one that never sent a frame
    // first, else the one quiet longest. Nothing when no client is quiet that long.
    std::optional<uint64_t> idleClient(std::size_t reader) const;
    std::optional<Clock::time_point> nextIdleClientDue(std::size_t reader) const;

    void readConnection(uint64_t id, Connection& connection);
    void takeFrames(uint64_t id, Connection& connection);
    void giveUpQuietPartials();
    void forgetPtyClient();
    std::size_t owed(const Connection& connection) const
    {
        return connection.out.size() + connection.scheduledBytes;
    }
    bool wantsInput(const Connection& connection) const;
    void writeConnection(uint64_t id, Connection& connection);
    void onFrame(uint64_t id, Connection& connection, const frame::Frame& request);
    // The answer goes out as the fault options say: with garbage, late, or at once.
    void answer(uint64_t id, Connection& connection, const frame::Frame& answer);
    // Answers the writes whose saves ended and lets their readers go on.
    void settleSaves();
    // Every connection of the reader: its TCP clients, and the pseudo-terminal's line for the first.
    std::vector<uint64_t> connectionsOf(std::size_t reader) const;
    void scheduleAnswer(uint64_t id, Connection& connection, std::vector<uint8_t> bytes);
    void queueOutput(Connection& connection, const std::vector<uint8_t>& bytes);
    void releaseDueAnswers();
    void touch(uint64_t id, Connection& connection);
    // The end of a round: what each touched connection owes is sent, it is
    // watched for what it now wants, and closed when it is through.
    void settleTouched();
    void closeConnection(uint64_t id);

    // Keeps a reader's next due time (tag reading, server retries) in dueReaders_.
    void schedule(std::size_t reader);
    void runDueReaders();
    // Watches the reader's connection to a server in client mode for what it now wants.
    void watchServer(std::size_t reader);
    // One tag frame to every output port the reader's settings name.
    void sendTagFrame(std::size_t reader, const std::vector<uint8_t>& frame);
    // False when the connection already owes too much: the frame is dropped.
    bool queueTagFrame(uint64_t id, Connection& connection, const std::vector<uint8_t>& frame);

    const SimOptions& options_;
    std::vector<FleetReader>& readers_;
    std::vector<Served> served_;
    StateSaver saver_;
    Epoll epoll_;      // what a round waits for: everything but the TCP connections, and requests_ while watched
    Epoll requests_;   // the readers' TCP connections
    bool watchingRequests_ = false;
    // The least time a request's answer is held back on every reader; zero
    // when some reader answers at once: then every request is waited for.
    Clock::duration quickestAnswer_{};
    ControlSocket* control_ = nullptr;
    Clock::time_point acceptPausedUntil_;   // out of descriptors: retry accepting after this
    std::set<std::size_t> holding_;         // readers whose listening socket is not watched
    uint64_t ptyId_ = 0;
    int ptySlaveFd_ = -1;
    std::unique_ptr<PtyClients> ptyClients_;
    uint64_t nextId_ = 1;
    std::unordered_map<uint64_t, Connection> connections_;
    std::set<uint64_t> partial_;            // connections holding part of a frame
    std::vector<LateAnswer> lateAnswers_;   // a heap: the one due first on top
    uint64_t answersMade_ = 0;
    std::set<std::pair<Clock::time_point, std::size_t>> dueReaders_;
    std::vector<uint64_t> touched_;
    std::vector<uint64_t> dead_;
};

} // namespace sim
