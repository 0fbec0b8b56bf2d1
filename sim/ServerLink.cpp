#include "ServerLink.h"

#include "Diagnostics.h"
#include "TagSettings.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sim {

namespace {
// A reader's own small send buffer: a server that stops reading shows at once
// as dropped frames, not as megabytes held in the system for it.
constexpr int kSendBuffer = 16 * 1024;
} // namespace

ServerLink::~ServerLink()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::string ServerLink::name() const
{
    const auto& a = server_->address;
    return std::to_string(a[0]) + "." + std::to_string(a[1]) + "." + std::to_string(a[2]) + "."
         + std::to_string(a[3]) + ":" + std::to_string(server_->port);
}

void ServerLink::follow(const ParameterMemory& memory, Clock::time_point now)
{
    const TagSettings settings = tagSettings(memory);
    std::optional<Server> wanted;
    if (settings.clientMode && (settings.outputPorts & output_port::kTcpIp) != 0)
        wanted = Server{settings.serverAddress, settings.serverPort};
    if (wanted == server_)
        return;
    close();
    state_ = State::Off;
    server_ = wanted;
    outageLogged_ = false;
    if (!server_)
        return;
    if (server_->address == std::array<uint8_t, 4>{} || server_->port == 0) {
        logLine("client mode: no server at " + name() + "; tag frames for TCP/IP are dropped");
        return;
    }
    connect(now);
}

void ServerLink::connect(Clock::time_point now)
{
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        failed(std::string("socket: ") + std::strerror(errno), now);
        return;
    }
    const int on = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    ::setsockopt(fd_, SOL_SOCKET, SO_SNDBUF, &kSendBuffer, sizeof kSendBuffer);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(server_->port);
    std::memcpy(&address.sin_addr, server_->address.data(), server_->address.size());
    if (::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        connected();
    } else if (errno == EINPROGRESS) {
        state_ = State::Connecting;
        due_ = now + kServerRetry;
    } else {
        failed(std::strerror(errno), now);
    }
}

void ServerLink::connected()
{
    state_ = State::Connected;
    outageLogged_ = false;
    logLine("client mode: connected to " + name());
}

void ServerLink::failed(const std::string& reason, Clock::time_point now)
{
    if (!outageLogged_)
        logLine("client mode: no connection to " + name() + " (" + reason + "); trying again every "
                + std::to_string(kServerRetry.count()) + " s, tag frames for it dropped meanwhile");
    outageLogged_ = true;
    close();
    state_ = State::Waiting;
    due_ = now + kServerRetry;
}

void ServerLink::close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    lost_ += frameSizes_.size();
    queue_.clear();
    frameSizes_.clear();
    frontSent_ = 0;
}

bool ServerLink::send(const std::vector<uint8_t>& frame)
{
    if (state_ != State::Connected || queue_.size() + frame.size() > kMaxServerBacklog)
        return false;
    queue_.insert(queue_.end(), frame.begin(), frame.end());
    frameSizes_.push_back(frame.size());
    flush(Clock::now());
    return true;
}

void ServerLink::flush(Clock::time_point now)
{
    while (!queue_.empty()) {
        const ssize_t n = ::send(fd_, queue_.data(), queue_.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        if (n <= 0) {
            failed(std::strerror(errno), now);
            return;
        }
        sent(static_cast<std::size_t>(n));
    }
}

void ServerLink::sent(std::size_t bytes)
{
    queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(bytes));
    frontSent_ += bytes;
    while (!frameSizes_.empty() && frontSent_ >= frameSizes_.front()) {
        frontSent_ -= frameSizes_.front();
        frameSizes_.pop_front();
    }
}

short ServerLink::events() const
{
    switch (state_) {
    case State::Connecting:
        return POLLOUT;
    case State::Connected:
        return static_cast<short>(POLLIN | (queue_.empty() ? 0 : POLLOUT));
    default:
        return 0;
    }
}

void ServerLink::onReady(short revents, Clock::time_point now)
{
    if (state_ == State::Connecting) {
        int error = 0;
        socklen_t size = sizeof error;
        if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
            error = errno;
        if (error == 0)
            connected();
        else
            failed(std::strerror(error), now);
        return;
    }
    if (state_ != State::Connected)
        return;
    if (revents & (POLLIN | POLLHUP | POLLERR)) {
        // The server has nothing to say to the reader here: what it sends is read and dropped.
        uint8_t buffer[4096];
        const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
            failed(n == 0 ? "closed by the server" : std::strerror(errno), now);
            return;
        }
    }
    if (revents & POLLOUT)
        flush(now);
}

std::optional<ServerLink::Clock::time_point> ServerLink::nextDue() const
{
    if (state_ == State::Waiting || state_ == State::Connecting)
        return due_;
    return std::nullopt;
}

void ServerLink::runDue(Clock::time_point now)
{
    if (now < due_)
        return;
    if (state_ == State::Waiting) {
        connect(now);
    } else if (state_ == State::Connecting) {
        failed("no answer within " + std::to_string(kServerRetry.count()) + " s", now);
    }
}

} // namespace sim
