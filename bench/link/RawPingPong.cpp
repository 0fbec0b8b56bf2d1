#include "RawPingPong.h"

#include "FrameCodec.h"
#include "Protocol.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

bool readExactly(int fd, uint8_t* buffer, std::size_t size)
{
    while (size > 0) {
        const ssize_t got = ::recv(fd, buffer, size, 0);
        if (got <= 0)
            return false;
        buffer += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

} // namespace

double rawRoundTripsPerSecond(uint16_t port, uint8_t address, uint8_t length, int rounds)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return -1;
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(port);
    peer.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) {
        ::close(fd);
        return -1;
    }
    frame::Frame request;
    request.station = proto::kStationAny;
    request.command = static_cast<uint8_t>(proto::Command::GetParameter);
    request.payload = {address, length};
    // The answer's payload: address, length, then the bytes.
    std::vector<uint8_t> answer(frame::kHeaderSize + 2 + length + frame::kCrcSize);

    const auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < rounds; ++round) {
        request.seq = static_cast<uint8_t>(round);
        const std::vector<uint8_t> bytes = frame::encode(request);
        if (::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(bytes.size())
            || !readExactly(fd, answer.data(), answer.size())) {
            ::close(fd);
            return -1;
        }
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    ::close(fd);
    return rounds / elapsed.count();
}
