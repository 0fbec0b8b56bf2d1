#include "EventLoop.h"

#include "ControlCommands.h"
#include "Diagnostics.h"
#include "PortName.h"
#include "TagSettings.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
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
// it is left unwatched this long, or until a client leaves.
constexpr auto kAcceptBackOff = std::chrono::milliseconds(100);

// Events taken from epoll a round.
constexpr int kEventsARound = 256;

// Held-back answers leave in rounds this far apart at most: a fleet's answers,
// due a few microseconds apart, go out together, and none more than this late.
constexpr auto kAnswerRound = std::chrono::microseconds(200);

// What an event's tag says: where it comes from (the top byte) and which one (the rest).
enum class Source : uint64_t { Stop, PtyClients, Control, Listener, Connection, Server, Requests, Saver };
constexpr int kSourceShift = 56;

uint64_t tagOf(Source source, uint64_t which)
{
    return static_cast<uint64_t>(source) << kSourceShift | which;
}
Source sourceOf(uint64_t tag)
{
    return static_cast<Source>(tag >> kSourceShift);
}
uint64_t whichOf(uint64_t tag)
{
    return tag & ((uint64_t(1) << kSourceShift) - 1);
}

// Linux gives poll's and epoll's event bits the same values; the server link speaks poll's.
static_assert(EPOLLIN == POLLIN && EPOLLOUT == POLLOUT && EPOLLERR == POLLERR && EPOLLHUP == POLLHUP);

std::chrono::nanoseconds timeUntil(std::chrono::steady_clock::time_point when)
{
    return std::max(std::chrono::nanoseconds(0), when - std::chrono::steady_clock::now());
}

// When bytes a read took came in: the time stamp the system gave the last of
// them (its wall clock), on the steady clock; when nothing says, now.
std::chrono::steady_clock::time_point arrivalOf(const msghdr& message)
{
    const auto now = std::chrono::steady_clock::now();
    for (const cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(const_cast<msghdr*>(&message),
                                                                                   const_cast<cmsghdr*>(c))) {
        if (c->cmsg_level != SOL_SOCKET || c->cmsg_type != SCM_TIMESTAMPNS)
            continue;
        timespec stamp{};
        std::memcpy(&stamp, CMSG_DATA(c), sizeof stamp);
        const auto since = std::chrono::system_clock::now().time_since_epoch()
                         - (std::chrono::seconds(stamp.tv_sec) + std::chrono::nanoseconds(stamp.tv_nsec));
        return now - std::clamp<std::chrono::steady_clock::duration>(
                         std::chrono::duration_cast<std::chrono::steady_clock::duration>(since),
                         std::chrono::steady_clock::duration::zero(), std::chrono::seconds(1));
    }
    return now;
}

} // namespace

EventLoop::EventLoop(const SimOptions& options, std::vector<FleetReader>& readers)
    : options_(options), readers_(readers), served_(readers.size())
{
    const bool everyReaderFaulty =
        std::all_of(readers_.begin(), readers_.end(), [](const FleetReader& r) { return r.faulty; });
    if (everyReaderFaulty)
        quickestAnswer_ = std::chrono::milliseconds(options_.delayMs + options_.workMs);
}

EventLoop::~EventLoop()
{
    for (auto& [id, connection] : connections_)
        if (!connection.pty)
            ::close(connection.fd);
}

void EventLoop::serveTcp(std::size_t reader, int listenFd)
{
    served_[reader].listenFd = listenFd;
}

void EventLoop::servePty(const PtyPort& port)
{
    Connection connection;
    connection.fd = port.masterFd;
    connection.pty = true;
    connection.watched = EPOLLIN;
    ptyId_ = nextId_++;
    epoll_.add(connection.fd, connection.watched, tagOf(Source::Connection, ptyId_));
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

void EventLoop::run(int stopFd)
{
    if (epoll_.fd() < 0 || !epoll_.add(stopFd, EPOLLIN, tagOf(Source::Stop, 0))) {
        logLine(std::string("epoll: ") + std::strerror(errno));
        return;
    }
    if (ptyClients_ && ptyClients_->fd() >= 0)
        epoll_.add(ptyClients_->fd(), EPOLLIN, tagOf(Source::PtyClients, 0));
    if (control_)
        epoll_.add(control_->fd(), EPOLLIN, tagOf(Source::Control, 0));
    if (requests_.fd() < 0 || !epoll_.add(requests_.fd(), EPOLLIN, tagOf(Source::Requests, 0))
        || saver_.fd() < 0 || !epoll_.add(saver_.fd(), EPOLLIN, tagOf(Source::Saver, 0))) {
        logLine(std::string("epoll: ") + std::strerror(errno));
        return;
    }
    watchingRequests_ = true;
    // Power-up: each reader starts working as its memory says.
    const auto start = Clock::now();
    for (std::size_t reader = 0; reader < readers_.size(); ++reader) {
        readerOf(reader).start(start);
        schedule(reader);
        watchServer(reader);
        settleListener(reader);
    }

    epoll_event events[kEventsARound];
    epoll_event requests[kEventsARound];
    for (;;) {
        settleHeldListeners();
        watchRequests();
        const int count = epoll_.wait(events, kEventsARound, waitTimeout());
        if (count < 0) {
            logLine(std::string("epoll_wait: ") + std::strerror(errno));
            return;
        }
        // Before the connections: a departed pty client is forgotten before anything more is read.
        bool ptyClientLeft = false;
        bool requestsReady = !watchingRequests_;
        for (int i = 0; i < count; ++i) {
            const Source source = sourceOf(events[i].data.u64);
            if (source == Source::Stop)
                return;
            ptyClientLeft = ptyClientLeft || source == Source::PtyClients;
            requestsReady = requestsReady || source == Source::Requests;
        }
        const int requestCount =
            requestsReady ? std::max(requests_.wait(requests, kEventsARound, std::chrono::nanoseconds(0)), 0) : 0;
        if (ptyClientLeft)
            forgetPtyClient();
        releaseDueAnswers();
        for (int i = 0; i < count; ++i)
            handleEvent(events[i]);
        for (int i = 0; i < requestCount; ++i)
            handleEvent(requests[i]);
        giveUpQuietPartials();
        runDueReaders();
        settleTouched();
    }
}

void EventLoop::handleEvent(const epoll_event& event)
{
    const uint64_t which = whichOf(event.data.u64);
    switch (sourceOf(event.data.u64)) {
    case Source::Listener:
        acceptClients(which);
        break;
    case Source::Server:
        readerOf(which).server().onReady(static_cast<short>(event.events), Clock::now());
        schedule(which);
        watchServer(which);
        break;
    case Source::Control:
        control_->serve([this](std::string_view line) {
            std::optional<std::size_t> worked;
            std::string answer = controlCommand(readers_, line, Clock::now(), worked);
            // A trigger input may have started or ended the reader's reading.
            if (worked)
                schedule(*worked);
            return answer;
        });
        break;
    case Source::Saver:
        settleSaves();
        break;
    case Source::Connection: {
        const auto it = connections_.find(which);
        if (it == connections_.end())
            break;   // closed earlier this round
        Connection& connection = it->second;
        if (((event.events & EPOLLIN) && wantsInput(connection)) || (event.events & (EPOLLHUP | EPOLLERR)))
            readConnection(which, connection);
        if (event.events & EPOLLOUT)
            touch(which, connection);
        break;
    }
    default:
        break;
    }
}

void EventLoop::watchRequests()
{
    const bool watch = quickestAnswer_ == Clock::duration::zero() || lateAnswers_.empty();
    if (watch == watchingRequests_)
        return;
    epoll_.watch(requests_.fd(), watch ? uint32_t(EPOLLIN) : 0u, tagOf(Source::Requests, 0));
    watchingRequests_ = watch;
}

std::optional<std::chrono::nanoseconds> EventLoop::waitTimeout() const
{
    std::optional<std::chrono::nanoseconds> timeout;
    auto earliest = [&timeout](Clock::time_point when) {
        const auto wait = timeUntil(when);
        timeout = timeout ? std::min(*timeout, wait) : wait;
    };
    if (!lateAnswers_.empty()) {
        const auto rounds = (timeUntil(lateAnswers_.front().due) + kAnswerRound - std::chrono::nanoseconds(1)) / kAnswerRound;
        const std::chrono::nanoseconds answers = rounds * kAnswerRound;
        timeout = answers;
    }
    // Requests are not waited for: the round comes before one that came meanwhile can be due.
    if (!watchingRequests_)
        timeout = timeout ? std::min(*timeout, std::chrono::nanoseconds(quickestAnswer_)) : quickestAnswer_;
    if (!dueReaders_.empty())
        earliest(dueReaders_.begin()->first);
    for (const uint64_t id : partial_) {
        const Connection& connection = connections_.at(id);
        if (wantsInput(connection) && !connection.deaf)
            earliest(connection.lastInput + std::chrono::milliseconds(frame::kQuietLineMs));
    }
    const auto now = Clock::now();
    for (const std::size_t reader : holding_) {
        if (served_[reader].clients.size() < kMaxTcpClients) {
            if (now < acceptPausedUntil_)
                earliest(acceptPausedUntil_);
        } else if (!idleClient(reader)) {
            // Every slot taken and nobody idle enough yet: look again when the first becomes so.
            if (const auto due = nextIdleClientDue(reader))
                earliest(*due);
        }
    }
    return timeout;
}

bool EventLoop::mayAccept(std::size_t reader) const
{
    const Served& served = served_[reader];
    return served.listenFd >= 0 && Clock::now() >= acceptPausedUntil_
        && (served.clients.size() < kMaxTcpClients || idleClient(reader).has_value());
}

void EventLoop::settleListener(std::size_t reader)
{
    Served& served = served_[reader];
    if (served.listenFd < 0)
        return;
    const bool accepting = mayAccept(reader);
    if (accepting != served.accepting)
        epoll_.watch(served.listenFd, accepting ? uint32_t(EPOLLIN) : 0u, tagOf(Source::Listener, reader));
    served.accepting = accepting;
    if (accepting)
        holding_.erase(reader);
    else
        holding_.insert(reader);
}

void EventLoop::settleHeldListeners()
{
    const std::vector<std::size_t> held(holding_.begin(), holding_.end());
    for (const std::size_t reader : held)
        if (mayAccept(reader))
            settleListener(reader);
}

std::optional<uint64_t> EventLoop::idleClient(std::size_t reader) const
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
    for (const uint64_t id : served_[reader].clients) {
        const Connection& connection = connections_.at(id);
        // A client not read (owing too much, or closing) is not quiet: readersim is not listening.
        if (!wantsInput(connection) || connection.lastInput > quietSince)
            continue;
        if (!chosen || before(connection, connections_.at(*chosen)))
            chosen = id;
    }
    return chosen;
}

std::optional<EventLoop::Clock::time_point> EventLoop::nextIdleClientDue(std::size_t reader) const
{
    if (options_.idleSeconds == 0)
        return std::nullopt;
    std::optional<Clock::time_point> first;
    for (const uint64_t id : served_[reader].clients) {
        const Connection& connection = connections_.at(id);
        if (wantsInput(connection) && (!first || connection.lastInput < *first))
            first = connection.lastInput;
    }
    if (!first)
        return std::nullopt;
    return *first + std::chrono::seconds(options_.idleSeconds);
}

void EventLoop::acceptClients(std::size_t reader)
{
    Served& served = served_[reader];
    while (Clock::now() >= acceptPausedUntil_) {
        // Every slot taken: a client idle long enough makes room, once someone is really there.
        const std::optional<uint64_t> givingWay =
            served.clients.size() < kMaxTcpClients ? std::nullopt : idleClient(reader);
        if (served.clients.size() >= kMaxTcpClients && !givingWay)
            break;
        const int fd = ::accept4(served.listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            // EMFILE and its kin leave the connection queued and the socket
            // readable: wait for a descriptor instead of spinning on it.
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)
                acceptPausedUntil_ = Clock::now() + kAcceptBackOff;
            break;   // EAGAIN: all taken; anything else: the client is already gone
        }
        if (givingWay) {
            logLine("every client slot taken: a client idle for " + std::to_string(options_.idleSeconds)
                    + " s gives way to a new one");
            closeConnection(*givingWay);
        }
        // Answers are small and must not wait for Nagle's algorithm; a held-back
        // answer's time counts from when its request came in.
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        ::setsockopt(fd, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
        const uint64_t id = nextId_++;
        Connection connection;
        connection.fd = fd;
        connection.reader = reader;
        connection.lastInput = Clock::now();
        connection.watched = EPOLLIN;
        if (!requests_.add(fd, connection.watched, tagOf(Source::Connection, id))) {
            ::close(fd);
            acceptPausedUntil_ = Clock::now() + kAcceptBackOff;
            break;
        }
        connections_.emplace(id, std::move(connection));
        served.clients.insert(id);
    }
    settleListener(reader);
}

bool EventLoop::wantsInput(const Connection& connection) const
{
    return !connection.closing && !served_[connection.reader].saving
        && (connection.pty || owed(connection) < kMaxPendingOutput);
}

void EventLoop::readConnection(uint64_t id, Connection& connection)
{
    uint8_t buffer[4096];
    iovec piece{buffer, sizeof buffer};
    alignas(cmsghdr) char stamp[CMSG_SPACE(sizeof(timespec))];
    msghdr message{};
    message.msg_iov = &piece;
    message.msg_iovlen = 1;
    message.msg_control = stamp;
    message.msg_controllen = sizeof stamp;
    const ssize_t n = connection.pty ? ::read(connection.fd, buffer, sizeof buffer) : ::recvmsg(connection.fd, &message, 0);
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (n <= 0) {
        // A TCP client hung up. The pty cannot hang up while the slave is held open;
        // on an error there the next round simply tries again.
        if (!connection.pty)
            dead_.push_back(id);
        return;
    }
    if (connection.deaf || connection.closing)
        return;
    connection.decoder.feed(buffer, static_cast<std::size_t>(n));
    connection.lastInput = Clock::now();
    connection.arrived = connection.pty ? connection.lastInput : arrivalOf(message);
    takeFrames(id, connection);
    touch(id, connection);
}

void EventLoop::takeFrames(uint64_t id, Connection& connection)
{
    const Served& served = served_[connection.reader];
    while (!served.saving && !connection.deaf && !connection.closing) {
        const auto request = connection.decoder.next();
        if (!request)
            break;
        onFrame(id, connection, *request);
    }
}

void EventLoop::giveUpQuietPartials()
{
    if (partial_.empty())
        return;
    const auto quietSince = Clock::now() - std::chrono::milliseconds(frame::kQuietLineMs);
    std::vector<uint64_t> quiet;
    for (const uint64_t id : partial_) {
        const Connection& connection = connections_.at(id);
        if (wantsInput(connection) && !connection.deaf && connection.lastInput <= quietSince)
            quiet.push_back(id);
    }
    for (const uint64_t id : quiet) {
        Connection& connection = connections_.at(id);
        connection.decoder.lineQuiet();
        takeFrames(id, connection);
        touch(id, connection);
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
    std::erase_if(lateAnswers_, [this](const LateAnswer& a) { return a.connection == ptyId_; });
    std::make_heap(lateAnswers_.begin(), lateAnswers_.end(), std::greater<>());
    connection.scheduled = 0;
    connection.scheduledBytes = 0;
    if (served_[0].savingFor == ptyId_)
        served_[0].savingFor = 0;   // the write is still kept; its answer is owed to nobody
    touch(ptyId_, connection);
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
    connection.lastInput = connection.arrived = Clock::now();
    takeFrames(ptyId_, connection);
}

void EventLoop::onFrame(uint64_t id, Connection& connection, const frame::Frame& request)
{
    ++connection.frames;
    const bool faults = faulty(connection);
    // A lost frame never reached the reader: it changes nothing and takes none of its time.
    if (!(faults && options_.silent) && !(faults && connection.frames == options_.loseFrame)) {
        SimReader& reader = readerOf(connection.reader);
        if (const auto made = reader.handle(request, Clock::now())) {
            answer(id, connection, *made);
        } else if (const auto& memory = reader.state().pendingSave()) {
            // The write is answered once saved; its connection is owed that answer till then.
            Served& served = served_[connection.reader];
            saver_.save(connection.reader, readers_[connection.reader].stateFile, *memory);
            served.saving = true;
            served.savingFor = id;
            ++connection.scheduled;
            for (const uint64_t other : connectionsOf(connection.reader))
                touch(other, connections_.at(other));
        }
        // A write may have started or ended its tag reading or its server connection.
        schedule(connection.reader);
        watchServer(connection.reader);
    }
    if (faults && options_.dropAfter != 0 && connection.frames >= options_.dropAfter) {
        if (connection.pty)
            connection.deaf = true;
        else
            connection.closing = true;
    }
}

void EventLoop::answer(uint64_t id, Connection& connection, const frame::Frame& answer)
{
    std::vector<uint8_t> bytes;
    const bool faults = faulty(connection);
    if (faults && options_.garbage)
        bytes = kGarbage;
    const auto encoded = frame::encode(answer);
    bytes.insert(bytes.end(), encoded.begin(), encoded.end());
    if (!faults || (options_.delayMs == 0 && options_.workMs == 0))
        queueOutput(connection, bytes);
    else
        scheduleAnswer(id, connection, std::move(bytes));
    touch(id, connection);
}

void EventLoop::settleSaves()
{
    for (const StateSaver::Done& done : saver_.done()) {
        if (!done.saved)
            logLine("write refused: " + done.error);
        Served& served = served_[done.reader];
        const frame::Frame made = readerOf(done.reader).settleSave(done.saved, Clock::now());
        served.saving = false;
        schedule(done.reader);
        watchServer(done.reader);
        if (const auto it = connections_.find(served.savingFor); it != connections_.end()) {
            --it->second.scheduled;
            answer(served.savingFor, it->second, made);
        }
        // The requests that waited for the save, in the order each connection sent them.
        for (const uint64_t id : connectionsOf(done.reader)) {
            Connection& connection = connections_.at(id);
            takeFrames(id, connection);
            touch(id, connection);
        }
    }
}

std::vector<uint64_t> EventLoop::connectionsOf(std::size_t reader) const
{
    std::vector<uint64_t> ids(served_[reader].clients.begin(), served_[reader].clients.end());
    if (reader == 0 && ptyId_ != 0)
        ids.push_back(ptyId_);
    return ids;
}

void EventLoop::scheduleAnswer(uint64_t id, Connection& connection, std::vector<uint8_t> bytes)
{
    // Held-back answers count against the same limit as those waiting to be sent.
    if (connection.pty && owed(connection) + bytes.size() > kMaxPendingOutput)
        return;
    auto done = connection.arrived;
    if (options_.workMs > 0) {
        // One request at a time: this one's work begins when the reader's one before it is done.
        Clock::time_point& workDoneAt = served_[connection.reader].workDoneAt;
        workDoneAt = std::max(done, workDoneAt) + std::chrono::milliseconds(options_.workMs);
        done = workDoneAt;
    }
    ++connection.scheduled;
    connection.scheduledBytes += bytes.size();
    lateAnswers_.push_back({done + std::chrono::milliseconds(options_.delayMs), answersMade_++, id, std::move(bytes)});
    std::push_heap(lateAnswers_.begin(), lateAnswers_.end(), std::greater<>());
}

void EventLoop::queueOutput(Connection& connection, const std::vector<uint8_t>& bytes)
{
    if (connection.pty && owed(connection) + bytes.size() > kMaxPendingOutput)
        return;
    connection.out.insert(connection.out.end(), bytes.begin(), bytes.end());
}

void EventLoop::writeConnection(uint64_t id, Connection& connection)
{
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

void EventLoop::sendTagFrame(std::size_t reader, const std::vector<uint8_t>& frame)
{
    SimReader& simReader = readerOf(reader);
    const TagSettings settings = tagSettings(simReader.state().memory());
    TagOutputCounts& counts = simReader.counts();
    const auto count = [&counts](bool taken) { ++(taken ? counts.sent : counts.dropped); };
    // readersim's one pseudo-terminal stands for both the RS-232 and the USB port.
    if (settings.outputPorts & (output_port::kRs232 | output_port::kUsb)) {
        const auto pty = reader == 0 ? connections_.find(ptyId_) : connections_.end();
        // A line nobody has open loses what is sent on it.
        const bool listened = pty != connections_.end() && (ptyClients_->fd() < 0 || ptyClients_->anyClient());
        count(listened && queueTagFrame(ptyId_, pty->second, frame));
    }
    if (settings.outputPorts & output_port::kTcpIp) {
        if (settings.clientMode) {
            count(simReader.server().send(frame));
        } else {
            for (const uint64_t id : served_[reader].clients) {
                Connection& connection = connections_.at(id);
                if (!connection.closing)
                    count(queueTagFrame(id, connection, frame));
            }
        }
    }
    for (const auto& [bit, name] : kUnsimulatedPorts) {
        if ((settings.outputPorts & bit) == 0 || (counts.unsimulatedPortsLogged & bit) != 0)
            continue;
        counts.unsimulatedPortsLogged |= bit;
        logLine(std::string("output port ") + name + " is not simulated: its tag frames go nowhere");
    }
}

bool EventLoop::queueTagFrame(uint64_t id, Connection& connection, const std::vector<uint8_t>& frame)
{
    if (owed(connection) + frame.size() > kMaxTagBacklog)
        return false;
    connection.out.insert(connection.out.end(), frame.begin(), frame.end());
    touch(id, connection);
    return true;
}

void EventLoop::releaseDueAnswers()
{
    const auto now = Clock::now();
    while (!lateAnswers_.empty() && lateAnswers_.front().due <= now) {
        std::pop_heap(lateAnswers_.begin(), lateAnswers_.end(), std::greater<>());
        LateAnswer answer = std::move(lateAnswers_.back());
        lateAnswers_.pop_back();
        auto it = connections_.find(answer.connection);
        if (it == connections_.end())
            continue;   // the client left before its answer was due
        Connection& connection = it->second;
        --connection.scheduled;
        connection.scheduledBytes -= answer.bytes.size();
        queueOutput(connection, answer.bytes);
        touch(answer.connection, connection);
    }
}

void EventLoop::touch(uint64_t id, Connection& connection)
{
    if (connection.touched)
        return;
    connection.touched = true;
    touched_.push_back(id);
}

void EventLoop::settleTouched()
{
    const auto now = Clock::now();
    for (const uint64_t id : touched_) {
        const auto it = connections_.find(id);
        if (it == connections_.end())
            continue;
        Connection& connection = it->second;
        connection.touched = false;
        if (!connection.out.empty())
            writeConnection(id, connection);
        const bool input = wantsInput(connection);
        const uint32_t events = (input ? uint32_t(EPOLLIN) : 0u) | (connection.out.empty() ? 0u : uint32_t(EPOLLOUT));
        if (events != connection.watched) {
            // Read again after a pause (a client owed too much): the line was not
            // quiet, readersim was not listening; its quiet time starts now.
            if (input && !(connection.watched & EPOLLIN))
                connection.lastInput = now;
            (connection.pty ? epoll_ : requests_).watch(connection.fd, events, tagOf(Source::Connection, id));
            connection.watched = events;
        }
        if (connection.decoder.pendingBytes() > 0 && !connection.deaf && !connection.closing)
            partial_.insert(id);
        else
            partial_.erase(id);
        if (connection.closing && connection.out.empty() && connection.scheduled == 0)
            dead_.push_back(id);
    }
    touched_.clear();
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
    served_[it->second.reader].clients.erase(id);
    partial_.erase(id);
    connections_.erase(it);
    // A descriptor is free again: accept at once whoever is waiting.
    acceptPausedUntil_ = Clock::time_point{};
}

void EventLoop::schedule(std::size_t reader)
{
    Served& served = served_[reader];
    const auto next = readerOf(reader).nextDue();
    if (next == served.due)
        return;
    if (served.due)
        dueReaders_.erase({*served.due, reader});
    served.due = next;
    if (next)
        dueReaders_.insert({*next, reader});
}

void EventLoop::runDueReaders()
{
    const auto now = Clock::now();
    std::vector<std::size_t> due;
    while (!dueReaders_.empty() && dueReaders_.begin()->first <= now) {
        due.push_back(dueReaders_.begin()->second);
        served_[due.back()].due.reset();
        dueReaders_.erase(dueReaders_.begin());
    }
    for (const std::size_t reader : due) {
        readerOf(reader).runDue(now, [this, reader](const std::vector<uint8_t>& frame) { sendTagFrame(reader, frame); });
        schedule(reader);
        watchServer(reader);
    }
}

void EventLoop::watchServer(std::size_t reader)
{
    const ServerLink& server = readerOf(reader).server();
    if (server.fd() >= 0)
        epoll_.watch(server.fd(), static_cast<uint16_t>(server.events()), tagOf(Source::Server, reader));
}

} // namespace sim
