#include "SimClient.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

int remainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

} // namespace

SimClient::SimClient(int fd) : fd_(fd) {}

SimClient::SimClient(SimClient&& other) noexcept
    : fd_(other.fd_), seq_(other.seq_), decoder_(std::move(other.decoder_))
{
    other.fd_ = -1;
}

SimClient::~SimClient()
{
    if (fd_ >= 0)
        ::close(fd_);
}

SimClient SimClient::overTcp(uint16_t port, const std::string& host)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (::inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1)
        throw std::runtime_error("not an IPv4 address: " + host);
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        if (fd >= 0)
            ::close(fd);
        throw std::runtime_error(std::string("cannot connect to readersim: ") + std::strerror(errno));
    }
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return SimClient(fd);
}

SimClient SimClient::overPty(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        throw std::runtime_error("cannot open " + path + ": " + std::strerror(errno));
    termios settings{};
    ::tcgetattr(fd, &settings);
    ::cfmakeraw(&settings);
    ::tcsetattr(fd, TCSANOW, &settings);
    return SimClient(fd);
}

void SimClient::sendBytes(const std::vector<uint8_t>& bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + sent, bytes.size() - sent);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw std::runtime_error(std::string("write to readersim failed: ") + std::strerror(errno));
        sent += static_cast<std::size_t>(n);
    }
}

uint8_t SimClient::send(proto::Command command, std::vector<uint8_t> payload, uint8_t station)
{
    frame::Frame request;
    request.seq = ++seq_;
    request.station = station;
    request.command = static_cast<uint8_t>(command);
    request.payload = std::move(payload);
    sendBytes(frame::encode(request));
    return request.seq;
}

std::optional<frame::Frame> SimClient::receive(int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (auto answer = decoder_.next())
            return answer;
        pollfd p{fd_, POLLIN, 0};
        const int ready = ::poll(&p, 1, remainingMs(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return std::nullopt;
        uint8_t buffer[1024];
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return std::nullopt;
        decoder_.feed(buffer, static_cast<std::size_t>(n));
    }
}

std::optional<frame::Frame> SimClient::call(proto::Command command, std::vector<uint8_t> payload, uint8_t station)
{
    const uint8_t seq = send(command, std::move(payload), station);
    while (auto answer = receive()) {
        if (answer->seq == seq)
            return answer;
    }
    return std::nullopt;
}

bool SimClient::closedByPeer(int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        pollfd p{fd_, POLLIN, 0};
        const int ready = ::poll(&p, 1, remainingMs(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        uint8_t buffer[1024];
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n == 0 || (n < 0 && errno == ECONNRESET))
            return true;
        if (n > 0)
            decoder_.feed(buffer, static_cast<std::size_t>(n));
    }
}

std::vector<uint8_t> readParameter(SimClient& client, uint8_t address, uint8_t length)
{
    const auto answer = client.call(proto::Command::GetParameter, {address, length});
    if (!answer || answer->status != static_cast<uint8_t>(proto::ReaderStatus::Ok) || answer->payload.size() < 2
        || answer->payload[0] != address || answer->payload[1] != length)
        return {};
    return {answer->payload.begin() + 2, answer->payload.end()};
}

proto::ReaderStatus writeParameter(SimClient& client, uint8_t address, std::vector<uint8_t> bytes)
{
    std::vector<uint8_t> payload = {address, static_cast<uint8_t>(bytes.size())};
    payload.insert(payload.end(), bytes.begin(), bytes.end());
    const auto answer = client.call(proto::Command::SetParameter, payload);
    if (!answer)
        throw std::runtime_error("readersim did not answer a write");
    return static_cast<proto::ReaderStatus>(answer->status);
}
