#include "ControlSocket.h"

#include <algorithm>
#include <iterator>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace sim {

namespace {
constexpr std::size_t kMaxClients = 8;
constexpr std::size_t kMaxLine = 256;

// Sends the whole reply, or false: a client that does not read its replies is let go.
bool reply(int fd, const std::string& text)
{
    const std::string line = text + "\n";
    return ::send(fd, line.data(), line.size(), MSG_NOSIGNAL | MSG_DONTWAIT) == static_cast<ssize_t>(line.size());
}
// Whether a process listens at the socket's address.
bool listening(const sockaddr_un& address)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool answered = fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0)
        ::close(fd);
    return answered;
}
} // namespace

std::unique_ptr<ControlSocket> ControlSocket::open(const std::string& path, std::string& error)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) {
        error = "a control socket's path is 1 to " + std::to_string(sizeof address.sun_path - 1)
              + " characters long: " + path;
        return nullptr;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size());
    struct stat info{};
    if (::lstat(path.c_str(), &info) == 0) {
        if (!S_ISSOCK(info.st_mode)) {
            error = path + " exists and is no socket: it is left alone";
            return nullptr;
        }
        if (listening(address)) {
            error = path + " is in use by another process";
            return nullptr;
        }
        ::unlink(path.c_str());   // left by a run that ended without removing it
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || ::listen(fd, 4) != 0) {
        error = "cannot listen at " + path + ": " + std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
        return nullptr;
    }
    std::unique_ptr<ControlSocket> control(new ControlSocket(path, fd));
    if (control->ready_.fd() < 0 || !control->ready_.add(fd, EPOLLIN, static_cast<uint64_t>(fd))) {
        error = std::string("cannot watch the control socket: ") + std::strerror(errno);
        return nullptr;
    }
    return control;
}

ControlSocket::~ControlSocket()
{
    for (const Client& client : clients_)
        ::close(client.fd);
    ::close(listenFd_);
    ::unlink(path_.c_str());
}

void ControlSocket::serve(const std::function<std::string(std::string_view)>& execute)
{
    epoll_event events[kMaxClients + 1];
    const int count = ready_.wait(events, static_cast<int>(std::size(events)), std::chrono::nanoseconds(0));
    bool connecting = false;
    for (int i = 0; i < count; ++i) {
        const int fd = static_cast<int>(events[i].data.u64);
        if (fd == listenFd_) {
            connecting = true;
            continue;
        }
        const auto client = std::find_if(clients_.begin(), clients_.end(), [fd](const Client& c) { return c.fd == fd; });
        if (client != clients_.end() && !readClient(*client, execute)) {
            ::close(client->fd);
            clients_.erase(client);
        }
    }
    if (connecting && clients_.size() < kMaxClients) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0 && ready_.add(fd, EPOLLIN, static_cast<uint64_t>(fd)))
            clients_.push_back({fd, {}});
        else if (fd >= 0)
            ::close(fd);
    }
    // Every slot taken: further clients wait in the listen queue.
    ready_.watch(listenFd_, clients_.size() < kMaxClients ? uint32_t(EPOLLIN) : 0u, static_cast<uint64_t>(listenFd_));
}

bool ControlSocket::readClient(Client& client, const std::function<std::string(std::string_view)>& execute)
{
    char buffer[1024];
    const ssize_t n = ::recv(client.fd, buffer, sizeof buffer, 0);
    if (n < 0)
        return errno == EAGAIN || errno == EINTR;
    if (n == 0)
        return false;
    client.pending.append(buffer, static_cast<std::size_t>(n));
    std::size_t newline;
    while ((newline = client.pending.find('\n')) != std::string::npos) {
        std::string_view line(client.pending.data(), newline);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::string answer = line.size() > kMaxLine ? "error: line too long" : execute(line);
        if (!answer.empty() && !reply(client.fd, answer))
            return false;
        client.pending.erase(0, newline + 1);
    }
    if (client.pending.size() > kMaxLine) {
        reply(client.fd, "error: line too long");
        return false;
    }
    return true;
}

} // namespace sim
