#include "EventLoop.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sim {

namespace {

// Line noise sent before an answer with --garbage. It holds a start byte followed
// by an impossible length, so a decoder must resynchronise, not just skip to 0xA5.
const std::vector<uint8_t> kGarbage = {0x00, frame::kStartOfFrame, 0xFF, 0xFF, 0x5A, 0x13};

// Output waiting for a slow reader. A TCP client past this is not read until it
// catches up; on the pty (where nobody may be listening) further answers are
// lost, as on a real line.
constexpr std::size_t kMaxPendingOutput = 64 * 1024;

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

void EventLoop::servePty(int masterFd)
{
    Link link;
    link.fd = masterFd;
    link.pty = true;
    links_.emplace(nextId_++, std::move(link));
}

int EventLoop::pollTimeoutMs() const
{
    if (lateAnswers_.empty())
        return -1;
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(lateAnswers_.front().due - Clock::now());
    return static_cast<int>(std::max<long long>(0, wait.count()));
}

void EventLoop::run(int stopFd)
{
    for (;;) {
        std::vector<pollfd> fds;
        std::vector<uint64_t> ids;
        fds.push_back({stopFd, POLLIN, 0});
        if (listenFd_ >= 0)
            fds.push_back({listenFd_, POLLIN, 0});
        const std::size_t firstLink = fds.size();
        for (const auto& [id, link] : links_) {
            const bool backedUp = !link.pty && link.out.size() >= kMaxPendingOutput;
            short events = link.closing || backedUp ? 0 : POLLIN;
            if (!link.out.empty())
                events |= POLLOUT;
            fds.push_back({link.fd, events, 0});
            ids.push_back(id);
        }

        if (::poll(fds.data(), fds.size(), pollTimeoutMs()) < 0) {
            if (errno == EINTR)
                continue;
            std::perror("readersim: poll");
            return;
        }
        if (fds[0].revents != 0)
            return;

        releaseDueAnswers();
        if (listenFd_ >= 0 && (fds[1].revents & POLLIN))
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
        closeFinishedLinks();
    }
}

void EventLoop::acceptClients()
{
    for (;;) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return;   // EAGAIN: all taken; anything else: the client is already gone
        // Answers are small and must not wait for Nagle's algorithm.
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        Link link;
        link.fd = fd;
        links_.emplace(nextId_++, std::move(link));
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
    while (auto request = link.decoder.next()) {
        onFrame(id, link, *request);
        if (link.deaf || link.closing)
            break;
    }
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
            if (options_.delayMs == 0) {
                queueOutput(link, bytes);
            } else {
                ++link.scheduled;
                lateAnswers_.push_back({Clock::now() + std::chrono::milliseconds(options_.delayMs), id, std::move(bytes)});
            }
        }
    }
    if (options_.dropAfter != 0 && link.frames >= options_.dropAfter) {
        if (link.pty)
            link.deaf = true;
        else
            link.closing = true;
    }
}

void EventLoop::queueOutput(Link& link, const std::vector<uint8_t>& bytes)
{
    if (link.pty && link.out.size() + bytes.size() > kMaxPendingOutput)
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
        --it->second.scheduled;
        queueOutput(it->second, answer.bytes);
        writeLink(answer.link, it->second);
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
}

} // namespace sim
