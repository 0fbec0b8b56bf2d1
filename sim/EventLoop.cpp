#include "EventLoop.h"

#include "Diagnostics.h"

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

// Out of descriptors, accept() fails while the listening socket stays readable:
// it is left out of poll() this long, or until a client leaves.
constexpr auto kAcceptBackOff = std::chrono::milliseconds(100);

int millisecondsUntil(std::chrono::steady_clock::time_point when)
{
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(when - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<long long>(0, wait.count()));
}

} // namespace

EventLoop::EventLoop(const SimOptions& options, ReaderState& reader)
    : options_(options), reader_(reader)
{
}

EventLoop::~EventLoop()
{
    for (auto& [id, link] : links_)
        if (!link.pty)
            ::close(link.fd);
}

void EventLoop::serveTcp(int listenFd)
{
    listenFd_ = listenFd;
}

void EventLoop::servePty(const PtyPort& port)
{
    Link link;
    link.fd = port.masterFd;
    link.pty = true;
    ptyId_ = nextId_++;
    links_.emplace(ptyId_, std::move(link));
    ptySlaveFd_ = port.slaveFd;
    ptyClients_ = std::make_unique<PtyClients>(port.slavePath);
    if (ptyClients_->fd() < 0)
        logLine("cannot watch " + port.slavePath + ": answers owed to a client that left reach the next one");
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
    for (const auto& [id, link] : links_)
        if (link.decoder.pendingBytes() > 0 && link.reading && !link.deaf)
            earliest(link.lastInput + std::chrono::milliseconds(frame::kQuietLineMs));
    if (listenFd_ >= 0 && tcpClients_ < kMaxTcpClients && Clock::now() < acceptPausedUntil_)
        earliest(acceptPausedUntil_);
    return timeout;
}

bool EventLoop::listening() const
{
    return listenFd_ >= 0 && tcpClients_ < kMaxTcpClients && Clock::now() >= acceptPausedUntil_;
}

void EventLoop::run(int stopFd)
{
    for (;;) {
        std::vector<pollfd> fds;
        std::vector<uint64_t> ids;
        fds.push_back({stopFd, POLLIN, 0});
        // Before the links: a departed pty client is forgotten before anything more is read.
        const int ptyClientsFd = ptyClients_ ? ptyClients_->fd() : -1;
        fds.push_back({ptyClientsFd, POLLIN, 0});
        fds.push_back({listening() ? listenFd_ : -1, POLLIN, 0});
        const std::size_t firstLink = fds.size();
        for (auto& [id, link] : links_) {
            const bool backedUp = !link.pty && owed(link) >= kMaxPendingOutput;
            link.reading = !link.closing && !backedUp;
            short events = link.reading ? POLLIN : 0;
            if (!link.out.empty())
                events |= POLLOUT;
            fds.push_back({link.fd, events, 0});
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
        for (std::size_t i = firstLink; i < fds.size(); ++i) {
            const uint64_t id = ids[i - firstLink];
            auto it = links_.find(id);
            if (it == links_.end())
                continue;
            const short revents = fds[i].revents;
            if (revents & (POLLIN | POLLHUP | POLLERR))
                readLink(id, it->second);
            if ((revents & POLLOUT) && links_.count(id) != 0)
                writeLink(id, it->second);
        }
        giveUpQuietPartials();
        closeFinishedLinks();
    }
}

void EventLoop::acceptClients()
{
    while (tcpClients_ < kMaxTcpClients) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            // EMFILE and its kin leave the connection queued and the socket
            // readable: wait for a descriptor instead of spinning on it.
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)
                acceptPausedUntil_ = Clock::now() + kAcceptBackOff;
            return;   // EAGAIN: all taken; anything else: the client is already gone
        }
        // Answers are small and must not wait for Nagle's algorithm.
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        Link link;
        link.fd = fd;
        links_.emplace(nextId_++, std::move(link));
        ++tcpClients_;
    }
}

void EventLoop::readLink(uint64_t id, Link& link)
{
    uint8_t buffer[4096];
    const ssize_t n = ::read(link.fd, buffer, sizeof buffer);
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (n <= 0) {
        // A TCP client hung up. The pty cannot hang up while the slave is held open;
        // on an error there the next poll simply tries again.
        if (!link.pty)
            dead_.push_back(id);
        return;
    }
    if (link.deaf || link.closing)
        return;
    link.decoder.feed(buffer, static_cast<std::size_t>(n));
    link.lastInput = Clock::now();
    takeFrames(id, link);
}

void EventLoop::takeFrames(uint64_t id, Link& link)
{
    while (auto request = link.decoder.next()) {
        onFrame(id, link, *request);
        if (link.deaf || link.closing)
            break;
    }
}

void EventLoop::giveUpQuietPartials()
{
    const auto now = Clock::now();
    const auto quietSince = now - std::chrono::milliseconds(frame::kQuietLineMs);
    for (auto& [id, link] : links_) {
        if (!link.reading) {
            // Not read this round (a client owed too much): the line is not
            // quiet, readersim is not listening; its quiet time starts again.
            link.lastInput = now;
            continue;
        }
        if (link.decoder.pendingBytes() == 0 || link.lastInput > quietSince || link.deaf || link.closing)
            continue;
        link.decoder.lineQuiet();
        takeFrames(id, link);
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
    auto it = links_.find(ptyId_);
    if (it == links_.end())
        return;
    // Nobody reads what was owed: drop it, here and in the terminal, and the
    // requests still unread.
    Link& link = it->second;
    link.out.clear();
    link.decoder.reset();
    lateAnswers_.erase(std::remove_if(lateAnswers_.begin(), lateAnswers_.end(),
                                      [this](const LateAnswer& a) { return a.link == ptyId_; }),
                       lateAnswers_.end());
    link.scheduled = 0;
    link.scheduledBytes = 0;
    ::tcflush(ptySlaveFd_, TCIFLUSH);
    std::vector<uint8_t> unread;
    uint8_t buffer[4096];
    for (ssize_t n; (n = ::read(link.fd, buffer, sizeof buffer)) > 0;)
        unread.insert(unread.end(), buffer, buffer + n);
    // A client that opened the terminal while this ran may have written its
    // request already: what was read is kept for it, stale requests and all.
    ptyClients_->lastClientLeft();
    if (!ptyClients_->anyClient() || unread.empty() || link.deaf || link.closing)
        return;
    link.decoder.feed(unread.data(), unread.size());
    link.lastInput = Clock::now();
    takeFrames(ptyId_, link);
}

void EventLoop::onFrame(uint64_t id, Link& link, const frame::Frame& request)
{
    ++link.frames;
    if (!options_.silent) {
        if (auto answer = reader_.handle(request)) {
            std::vector<uint8_t> bytes;
            if (options_.garbage)
                bytes = kGarbage;
            const auto encoded = frame::encode(*answer);
            bytes.insert(bytes.end(), encoded.begin(), encoded.end());
            if (options_.delayMs == 0)
                queueOutput(link, bytes);
            else
                scheduleAnswer(id, link, std::move(bytes));
        }
    }
    if (options_.dropAfter != 0 && link.frames >= options_.dropAfter) {
        if (link.pty)
            link.deaf = true;
        else
            link.closing = true;
    }
}

void EventLoop::scheduleAnswer(uint64_t id, Link& link, std::vector<uint8_t> bytes)
{
    // Held-back answers count against the same limit as those waiting to be sent.
    if (link.pty && owed(link) + bytes.size() > kMaxPendingOutput)
        return;
    ++link.scheduled;
    link.scheduledBytes += bytes.size();
    lateAnswers_.push_back({Clock::now() + std::chrono::milliseconds(options_.delayMs), id, std::move(bytes)});
}

void EventLoop::queueOutput(Link& link, const std::vector<uint8_t>& bytes)
{
    if (link.pty && owed(link) + bytes.size() > kMaxPendingOutput)
        return;
    link.out.insert(link.out.end(), bytes.begin(), bytes.end());
}

void EventLoop::writeLink(uint64_t id, Link& link)
{
    if (link.out.empty())
        return;
    const ssize_t n = link.pty ? ::write(link.fd, link.out.data(), link.out.size())
                               : ::send(link.fd, link.out.data(), link.out.size(), MSG_NOSIGNAL);
    if (n < 0) {
        if (errno == EAGAIN || errno == EINTR)
            return;
        if (link.pty)
            link.out.clear();
        else
            dead_.push_back(id);
        return;
    }
    link.out.erase(link.out.begin(), link.out.begin() + n);
}

void EventLoop::releaseDueAnswers()
{
    const auto now = Clock::now();
    while (!lateAnswers_.empty() && lateAnswers_.front().due <= now) {
        LateAnswer answer = std::move(lateAnswers_.front());
        lateAnswers_.pop_front();
        auto it = links_.find(answer.link);
        if (it == links_.end())
            continue;   // the client left before its answer was due
        Link& link = it->second;
        --link.scheduled;
        link.scheduledBytes -= answer.bytes.size();
        queueOutput(link, answer.bytes);
        writeLink(answer.link, link);
    }
}

void EventLoop::closeFinishedLinks()
{
    for (auto& [id, link] : links_)
        if (link.closing && link.out.empty() && link.scheduled == 0)
            dead_.push_back(id);
    for (const uint64_t id : dead_)
        closeLink(id);
    dead_.clear();
}

void EventLoop::closeLink(uint64_t id)
{
    auto it = links_.find(id);
    if (it == links_.end() || it->second.pty)
        return;
    ::close(it->second.fd);
    links_.erase(it);
    --tcpClients_;
    // A descriptor is free again: accept at once whoever is waiting.
    acceptPausedUntil_ = Clock::time_point{};
}

} // namespace sim
