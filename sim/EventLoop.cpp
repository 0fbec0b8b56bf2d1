#include "EventLoop.h"

#include "ControlCommands.h"
#include "Diagnostics.h"
#include "TagSettings.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

namespace {

// Line noise sent before an answer with --garbage. It holds a start byte followed
// by an impossible length, so a decoder must resynchronise, not just skip to 0xA5.
const std::vector<uint8_t> kGarbage = {0x00, frame::kStartOfFrame, 0xFF, 0xFF, 0x5A, 0x13};

// Answers owed to a slow reader, sent or still held back by --delay-ms. A TCP
// client past this is not read until it catches up; on the pty (where nobody
// may be listening) further answers are lost, as on a real line.
constexpr std::size_t kMaxPendingOutput = 64 * 1024;

// Tag frames are queued for a connection only while it owes less than this,
// so that a client that does not read them loses frames, never its answers.
constexpr std::size_t kMaxTagBacklog = 16 * 1024;

// The output ports readersim does not simulate, by their bit of the port mask.
constexpr std::pair<uint8_t, const char*> kUnsimulatedPorts[] = {
    {output_port::kRs485, "RS-485"},     {output_port::kWiegand, "Wiegand"},
    {output_port::kCan, "CAN"},          {output_port::kComKeyboard, "COM-Keyboard"},
    {output_port::kUsbKeyboard, "USB-Keyboard"}};

// Out of descriptors, accept() fails while the listening socket stays readable:
// it is left out of poll() this long, or until a client leaves.
constexpr auto kAcceptBackOff = std::chrono::milliseconds(100);

int millisecondsUntil(std::chrono::steady_clock::time_point when)
{
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(when - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<long long>(0, wait.count()));
}

} // namespace

EventLoop::EventLoop(const SimOptions& options, SimReader& reader)
    : options_(options), reader_(reader)
{
}

EventLoop::~EventLoop()
{
    for (auto& [id, connection] : connections_)
        if (!connection.pty)
            ::close(connection.fd);
}

void EventLoop::serveTcp(int listenFd)
{
    listenFd_ = listenFd;
}

void EventLoop::servePty(const PtyPort& port)
{
    Connection connection;
    connection.fd = port.masterFd;
    connection.pty = true;
    ptyId_ = nextId_++;
    connections_.emplace(ptyId_, std::move(connection));
    ptySlaveFd_ = port.slaveFd;
    ptyClients_ = std::make_unique<PtyClients>(port.slavePath);
    if (ptyClients_->fd() < 0)
        logLine("cannot watch " + port.slavePath + ": answers owed to a client that left reach the next one");
}

void EventLoop::serveControl(ControlSocket& control)
{
    control_ = &control;
}

int EventLoop::pollTimeoutMs() const
{
    int timeout = -1;
    auto earliest = [&timeout](Clock::time_point when) {
        const int wait = millisecondsUntil(when);
        timeout = timeout < 0 ? wait : std::min(timeout, wait);
    };
    if (!lateAnswers_.empty())
        earliest(lateAnswers_.front().due);
    if (const auto due = reader_.nextDue())
        earliest(*due);
    for (const auto& [id, connection] : connections_)
        if (connection.decoder.pendingBytes() > 0 && connection.reading && !connection.deaf)
            earliest(connection.lastInput + std::chrono::milliseconds(frame::kQuietLineMs));
    if (listenFd_ >= 0 && tcpClients_ < kMaxTcpClients && Clock::now() < acceptPausedUntil_)
        earliest(acceptPausedUntil_);
    // Every slot taken and nobody idle enough yet: look again when the first becomes so.
    if (listenFd_ >= 0 && tcpClients_ >= kMaxTcpClients && !idleClient())
        if (const auto due = nextIdleClientDue())
            earliest(*due);
    return timeout;
}

bool EventLoop::listening() const
{
    return listenFd_ >= 0 && Clock::now() >= acceptPausedUntil_
        && (tcpClients_ < kMaxTcpClients || idleClient().has_value());
}

std::optional<uint64_t> EventLoop::idleClient() const
{
    if (options_.idleSeconds == 0)
        return std::nullopt;
    const auto quietSince = Clock::now() - std::chrono::seconds(options_.idleSeconds);
    std::optional<uint64_t> chosen;
    auto before = [](const Connection& a, const Connection& b) {
        if ((a.frames == 0) != (b.frames == 0))
            return a.frames == 0;
        return a.lastInput < b.lastInput;
    };
    for (const auto& [id, connection] : connections_) {
        if (connection.pty || connection.lastInput > quietSince)
            continue;
        if (!chosen || before(connection, connections_.at(*chosen)))
            chosen = id;
    }
    return chosen;
}

std::optional<EventLoop::Clock::time_point> EventLoop::nextIdleClientDue() const
{
    if (options_.idleSeconds == 0)
        return std::nullopt;
    std::optional<Clock::time_point> first;
    for (const auto& [id, connection] : connections_)
        if (!connection.pty && (!first || connection.lastInput < *first))
            first = connection.lastInput;
    if (!first)
        return std::nullopt;
    return *first + std::chrono::seconds(options_.idleSeconds);
}

void EventLoop::run(int stopFd)
{
    for (;;) {
        std::vector<pollfd> fds;
        std::vector<uint64_t> ids;
        fds.push_back({stopFd, POLLIN, 0});
        // Before the connections: a departed pty client is forgotten before anything more is read.
        const int ptyClientsFd = ptyClients_ ? ptyClients_->fd() : -1;
        fds.push_back({ptyClientsFd, POLLIN, 0});
        fds.push_back({listening() ? listenFd_ : -1, POLLIN, 0});
        fds.push_back({reader_.server().fd(), reader_.server().events(), 0});
        const std::size_t firstControl = fds.size();
        if (control_)
            control_->addPollFds(fds);
        const std::size_t firstConnection = fds.size();
        for (auto& [id, connection] : connections_) {
            const bool backedUp = !connection.pty && owed(connection) >= kMaxPendingOutput;
            connection.reading = !connection.closing && !backedUp;
            short events = connection.reading ? POLLIN : 0;
            if (!connection.out.empty())
                events |= POLLOUT;
            fds.push_back({connection.fd, events, 0});
            ids.push_back(id);
        }

        if (::poll(fds.data(), fds.size(), pollTimeoutMs()) < 0) {
            if (errno == EINTR)
                continue;
            logLine(std::string("poll: ") + std::strerror(errno));
            return;
        }
        if (fds[0].revents != 0)
            return;

        if (fds[1].revents & POLLIN)
            forgetPtyClient();
        releaseDueAnswers();
        if (fds[2].revents & POLLIN)
            acceptClients();
        if (fds[3].revents != 0)
            reader_.server().onReady(fds[3].revents, Clock::now());
        if (control_)
            control_->serve(&fds[firstControl], [this](std::string_view line) {
                return controlCommand(reader_, line, Clock::now());
            });
        for (std::size_t i = firstConnection; i < fds.size(); ++i) {
            const uint64_t id = ids[i - firstConnection];
            auto it = connections_.find(id);
            if (it == connections_.end())
                continue;
            const short revents = fds[i].revents;
            if (revents & (POLLIN | POLLHUP | POLLERR))
                readConnection(id, it->second);
            if ((revents & POLLOUT) && connections_.count(id) != 0)
                writeConnection(id, it->second);
        }
        giveUpQuietPartials();
        const auto now = Clock::now();
        if (const auto due = reader_.nextDue(); due && *due <= now)
            reader_.runDue(now, [this](const std::vector<uint8_t>& frame) { sendTagFrame(frame); });
        closeFinishedConnections();
    }
}

void EventLoop::acceptClients()
{
    for (;;) {
        // Every slot taken: a client idle long enough makes room, once someone is really there.
        const std::optional<uint64_t> givingWay = tcpClients_ < kMaxTcpClients ? std::nullopt : idleClient();
        if (tcpClients_ >= kMaxTcpClients && !givingWay)
            return;
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            // EMFILE and its kin leave the connection queued and the socket
            // readable: wait for a descriptor instead of spinning on it.
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)
                acceptPausedUntil_ = Clock::now() + kAcceptBackOff;
            return;   // EAGAIN: all taken; anything else: the client is already gone
        }
        if (givingWay) {
            logLine("every client slot taken: a client idle for " + std::to_string(options_.idleSeconds)
                    + " s gives way to a new one");
            closeConnection(*givingWay);
        }
        // Answers are small and must not wait for Nagle's algorithm.
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        Connection connection;
        connection.fd = fd;
        connection.lastInput = Clock::now();
        connections_.emplace(nextId_++, std::move(connection));
        ++tcpClients_;
    }
}

void EventLoop::readConnection(uint64_t id, Connection& connection)
{
    uint8_t buffer[4096];
    const ssize_t n = ::read(connection.fd, buffer, sizeof buffer);
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (n <= 0) {
        // A TCP client hung up. The pty cannot hang up while the slave is held open;
        // on an error there the next poll simply tries again.
        if (!connection.pty)
            dead_.push_back(id);
        return;
    }
    if (connection.deaf || connection.closing)
        return;
    connection.decoder.feed(buffer, static_cast<std::size_t>(n));
    connection.lastInput = Clock::now();
    takeFrames(id, connection);
}

void EventLoop::takeFrames(uint64_t id, Connection& connection)
{
    while (auto request = connection.decoder.next()) {
        onFrame(id, connection, *request);
        if (connection.deaf || connection.closing)
            break;
    }
}

void EventLoop::giveUpQuietPartials()
{
    const auto now = Clock::now();
    const auto quietSince = now - std::chrono::milliseconds(frame::kQuietLineMs);
    for (auto& [id, connection] : connections_) {
        if (!connection.reading) {
            // Not read this round (a client owed too much): the line is not
            // quiet, readersim is not listening; its quiet time starts again.
            connection.lastInput = now;
            continue;
        }
        if (connection.decoder.pendingBytes() == 0 || connection.lastInput > quietSince || connection.deaf
            || connection.closing)
            continue;
        connection.decoder.lineQuiet();
        takeFrames(id, connection);
    }
}

void EventLoop::forgetPtyClient()
{
    if (!ptyClients_->lastClientLeft())
        return;
    // A new client already there may have written its request, or been
    // answered, before readersim learnt that the last one left: nothing read or
    // owed can be told apart from its own, so nothing is dropped. Answers left
    // for the one who left are told from its own by sequence number and echo.
    if (ptyClients_->anyClient())
        return;
    auto it = connections_.find(ptyId_);
    if (it == connections_.end())
        return;
    // Nobody reads what was owed: drop it, here and in the terminal, and the
    // requests still unread.
    Connection& connection = it->second;
    connection.out.clear();
    connection.decoder.reset();
    lateAnswers_.erase(std::remove_if(lateAnswers_.begin(), lateAnswers_.end(),
                                      [this](const LateAnswer& a) { return a.connection == ptyId_; }),
                       lateAnswers_.end());
    connection.scheduled = 0;
    connection.scheduledBytes = 0;
    ::tcflush(ptySlaveFd_, TCIFLUSH);
    std::vector<uint8_t> unread;
    uint8_t buffer[4096];
    for (ssize_t n; (n = ::read(connection.fd, buffer, sizeof buffer)) > 0;)
        unread.insert(unread.end(), buffer, buffer + n);
    // A client that opened the terminal while this ran may have written its
    // request already: what was read is kept for it, stale requests and all.
    ptyClients_->lastClientLeft();
    if (!ptyClients_->anyClient() || unread.empty() || connection.deaf || connection.closing)
        return;
    connection.decoder.feed(unread.data(), unread.size());
    connection.lastInput = Clock::now();
    takeFrames(ptyId_, connection);
}

void EventLoop::onFrame(uint64_t id, Connection& connection, const frame::Frame& request)
{
    ++connection.frames;
    // A lost frame never reached the reader: it changes nothing and takes none of its time.
    if (!options_.silent && connection.frames != options_.loseFrame) {
        if (auto answer = reader_.handle(request, Clock::now())) {
            std::vector<uint8_t> bytes;
            if (options_.garbage)
                bytes = kGarbage;
            const auto encoded = frame::encode(*answer);
            bytes.insert(bytes.end(), encoded.begin(), encoded.end());
            if (options_.delayMs == 0 && options_.workMs == 0)
                queueOutput(connection, bytes);
            else
                scheduleAnswer(id, connection, std::move(bytes));
        }
    }
    if (options_.dropAfter != 0 && connection.frames >= options_.dropAfter) {
        if (connection.pty)
            connection.deaf = true;
        else
            connection.closing = true;
    }
}

void EventLoop::scheduleAnswer(uint64_t id, Connection& connection, std::vector<uint8_t> bytes)
{
    // Held-back answers count against the same limit as those waiting to be sent.
    if (connection.pty && owed(connection) + bytes.size() > kMaxPendingOutput)
        return;
    auto done = Clock::now();
    if (options_.workMs > 0) {
        // One request at a time: this one's work begins when the one before it is done.
        workDoneAt_ = std::max(done, workDoneAt_) + std::chrono::milliseconds(options_.workMs);
        done = workDoneAt_;
    }
    ++connection.scheduled;
    connection.scheduledBytes += bytes.size();
    lateAnswers_.push_back({done + std::chrono::milliseconds(options_.delayMs), id, std::move(bytes)});
}

void EventLoop::queueOutput(Connection& connection, const std::vector<uint8_t>& bytes)
{
    if (connection.pty && owed(connection) + bytes.size() > kMaxPendingOutput)
        return;
    connection.out.insert(connection.out.end(), bytes.begin(), bytes.end());
}

void EventLoop::writeConnection(uint64_t id, Connection& connection)
{
    if (connection.out.empty())
        return;
    const ssize_t n = connection.pty ? ::write(connection.fd, connection.out.data(), connection.out.size())
                               : ::send(connection.fd, connection.out.data(), connection.out.size(), MSG_NOSIGNAL);
    if (n < 0) {
        if (errno == EAGAIN || errno == EINTR)
            return;
        if (connection.pty)
            connection.out.clear();
        else
            dead_.push_back(id);
        return;
    }
    connection.out.erase(connection.out.begin(), connection.out.begin() + n);
}

void EventLoop::sendTagFrame(const std::vector<uint8_t>& frame)
{
    const TagSettings settings = tagSettings(reader_.state().memory());
    TagOutputCounts& counts = reader_.counts();
    const auto count = [&counts](bool taken) { ++(taken ? counts.sent : counts.dropped); };
    // readersim's one pseudo-terminal stands for both the RS-232 and the USB port.
    if (settings.outputPorts & (output_port::kRs232 | output_port::kUsb)) {
        const auto pty = connections_.find(ptyId_);
        // A line nobody has open loses what is sent on it.
        const bool listened = pty != connections_.end() && (ptyClients_->fd() < 0 || ptyClients_->anyClient());
        count(listened && queueTagFrame(pty->second, frame));
    }
    if (settings.outputPorts & output_port::kTcpIp) {
        if (settings.clientMode) {
            count(reader_.server().send(frame));
        } else {
            for (auto& [id, connection] : connections_)
                if (!connection.pty && !connection.closing)
                    count(queueTagFrame(connection, frame));
        }
    }
    for (const auto& [bit, name] : kUnsimulatedPorts) {
        if ((settings.outputPorts & bit) == 0 || (counts.unsimulatedPortsLogged & bit) != 0)
            continue;
        counts.unsimulatedPortsLogged |= bit;
        logLine(std::string("output port ") + name + " is not simulated: its tag frames go nowhere");
    }
}

bool EventLoop::queueTagFrame(Connection& connection, const std::vector<uint8_t>& frame)
{
    if (owed(connection) + frame.size() > kMaxTagBacklog)
        return false;
    connection.out.insert(connection.out.end(), frame.begin(), frame.end());
    return true;
}

void EventLoop::releaseDueAnswers()
{
    const auto now = Clock::now();
    while (!lateAnswers_.empty() && lateAnswers_.front().due <= now) {
        LateAnswer answer = std::move(lateAnswers_.front());
        lateAnswers_.pop_front();
        auto it = connections_.find(answer.connection);
        if (it == connections_.end())
            continue;   // the client left before its answer was due
        Connection& connection = it->second;
        --connection.scheduled;
        connection.scheduledBytes -= answer.bytes.size();
        queueOutput(connection, answer.bytes);
        writeConnection(answer.connection, connection);
    }
}

void EventLoop::closeFinishedConnections()
{
    for (auto& [id, connection] : connections_)
        if (connection.closing && connection.out.empty() && connection.scheduled == 0)
            dead_.push_back(id);
    for (const uint64_t id : dead_)
        closeConnection(id);
    dead_.clear();
}

void EventLoop::closeConnection(uint64_t id)
{
    auto it = connections_.find(id);
    if (it == connections_.end() || it->second.pty)
        return;
    ::close(it->second.fd);
    connections_.erase(it);
    --tcpClients_;
    // A descriptor is free again: accept at once whoever is waiting.
    acceptPausedUntil_ = Clock::time_point{};
}

} // namespace sim
