// What the line does to the bytes must not change what a call returns: an
// answer arriving in pieces, noise before it, stale answers another client left
// on the pseudo-terminal.
#include "LibraryFixture.h"

#include "FrameCodec.h"
#include "Protocol.h"

#include <arpa/inet.h>
#include <atomic>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// Parameter data that is itself a whole valid frame: an answer to a read, with
// the sequence number and command the library waits for.
Bytes dataLookingLikeAnAnswer(uint8_t seq)
{
    frame::Frame inner;
    inner.seq = seq;
    inner.station = 1;
    inner.command = static_cast<uint8_t>(proto::Command::GetParameter) | proto::kAnswerBit;
    inner.payload = Bytes(11, 0x5A);
    return frame::encode(inner);   // 20 bytes
}

// A reader of the test's own on a loopback port: it answers every read with
// dataFor(seq), sends noise first, and delivers the bytes in pieces.
class PieceByPieceReader {
public:
    PieceByPieceReader(std::size_t piece, Bytes noise) : piece_(piece), noise_(std::move(noise))
    {
        listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), size) != 0 || ::listen(listenFd_, 1) != 0
            || ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            throw std::runtime_error("cannot listen on loopback");
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~PieceByPieceReader()
    {
        stop_ = true;
        ::shutdown(listenFd_, SHUT_RDWR);
        thread_.join();
        ::close(listenFd_);
    }
    uint16_t port() const { return port_; }

private:
    void serve()
    {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            return;
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        frame::Decoder decoder;
        uint8_t buffer[512];
        while (!stop_) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            decoder.feed(buffer, static_cast<std::size_t>(n));
            while (const auto request = decoder.next())
                answer(fd, *request);
        }
        ::close(fd);
    }

    void answer(int fd, const frame::Frame& request)
    {
        frame::Frame answer;
        answer.seq = request.seq;
        answer.station = 1;
        answer.command = request.command | proto::kAnswerBit;
        answer.payload = {request.payload.at(0), request.payload.at(1)};   // address and length
        const Bytes data = dataLookingLikeAnAnswer(request.seq);
        answer.payload.insert(answer.payload.end(), data.begin(), data.end());
        Bytes bytes = noise_;
        const Bytes encoded = frame::encode(answer);
        bytes.insert(bytes.end(), encoded.begin(), encoded.end());
        for (std::size_t at = 0; at < bytes.size(); at += piece_) {
            const std::size_t size = std::min(piece_, bytes.size() - at);
            if (::send(fd, bytes.data() + at, size, MSG_NOSIGNAL) != static_cast<ssize_t>(size))
                return;
            // A pause between pieces, so that the library reads them one by one.
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    std::size_t piece_;
    Bytes noise_;
    int listenFd_ = -1;
    uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

struct DeliveryCase {
    const char* name;
    std::size_t piece;
    Bytes noise;
};

class AnswerDelivery : public ::testing::TestWithParam<DeliveryCase> {};

// The answer's data holds a valid frame: it is data all the same, in whatever pieces it comes.
TEST_P(AnswerDelivery, ReadGivesTheDataHoweverTheAnswerIsSplit)
{
    PieceByPieceReader reader(GetParam().piece, GetParam().noise);
    uint32_t handle = 0;
    {
        ScopedEnv port("READER_TCP_PORT", std::to_string(reader.port()));
        ASSERT_EQ(OpenReader(&handle, READER_PORT_TCP, "127.0.0.1"), READER_OK);
    }
    for (int call = 0; call < 3; ++call) {
        uint8_t data[20] = {};
        ASSERT_EQ(GetParameter(handle, 100, 20, data), READER_OK) << "call " << call;
        // The inner frame carries the request's sequence number: compare all but that byte.
        Bytes got(data, data + 20);
        const Bytes expected = dataLookingLikeAnAnswer(got[3]);
        EXPECT_EQ(got, expected) << "call " << call;
    }
    CloseReader(handle);
}

INSTANTIATE_TEST_SUITE_P(All, AnswerDelivery, ::testing::Values(
    DeliveryCase{"whole", 1000, {}},
    DeliveryCase{"two_bytes_at_a_time", 2, {}},
    DeliveryCase{"byte_by_byte", 1, {}},
    DeliveryCase{"seven_at_a_time", 7, {}},
    // A stray start byte announcing 200 bytes: given up once the line is quiet.
    DeliveryCase{"after_a_stray_start_byte", 1000, {0x00, frame::kStartOfFrame, 0x00, 0xC8}}),
    [](const auto& info) { return std::string(info.param.name); });

// Sends many reads to the pseudo-terminal and leaves without reading their answers.
void leaveReadsUnanswered(const std::string& ptyPath, uint8_t address, int count)
{
    const int fd = ::open(ptyPath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    termios settings{};
    ::tcgetattr(fd, &settings);
    ::cfmakeraw(&settings);
    ::tcsetattr(fd, TCSANOW, &settings);
    Bytes all;
    for (int i = 0; i < count; ++i) {
        frame::Frame request;
        request.seq = static_cast<uint8_t>(i);
        request.station = proto::kStationAny;
        request.command = static_cast<uint8_t>(proto::Command::GetParameter);
        request.payload = {address, 1};
        const Bytes bytes = frame::encode(request);
        all.insert(all.end(), bytes.begin(), bytes.end());
    }
    for (std::size_t at = 0; at < all.size();) {
        const ssize_t n = ::write(fd, all.data() + at, all.size() - at);
        ASSERT_GT(n, 0);
        at += static_cast<std::size_t>(n);
    }
    ::close(fd);
}

// Answers nobody read belong to nobody: the next client never takes one of
// them, whose sequence number may well match, for its own.
TEST_F(LibraryTest, StaleAnswersOnThePtyAreNeverTakenAsCurrent)
{
    SimProcess sim;
    for (int round = 0; round < 3; ++round) {
        leaveReadsUnanswered(sim.ptyPath(), 100, 3072);   // address 100 holds 1
        const uint32_t handle = openVia(sim, Via::Pty);
        ASSERT_NE(handle, 0u);
        for (int call = 0; call < 40; ++call) {
            uint8_t power = 0;
            const uint16_t status = GetParameter(handle, 192, 1, &power);
            EXPECT_EQ(status, READER_OK) << "round " << round << ", call " << call;
            if (status == READER_OK)
                EXPECT_EQ(power, 15) << "round " << round << ", call " << call << " took a stale answer";
        }
        CloseReader(handle);
    }
}

} // namespace
