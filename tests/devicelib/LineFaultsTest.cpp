// What the line does to the bytes must not change what a call returns: an
// answer arriving in pieces, noise before it, a start byte announcing bytes
// that never come, stale answers another client left on the pseudo-terminal.
#include "LibraryFixture.h"

#include "FrameCodec.h"
#include "Protocol.h"

#include <arpa/inet.h>
#include <atomic>
#include <functional>
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

// What the test's reader sends for one request: after delayMs, bytes, in
// pieces of piece bytes with pauseMs between them.
struct Reply {
    int delayMs = 0;
    Bytes bytes;
    std::size_t piece = SIZE_MAX;
    int pauseMs = 2;
};
// The reply to the index-th request (counted from 0).
using Script = std::function<Reply(unsigned index, const frame::Frame& request)>;

// An Ok answer to request with the given payload.
Bytes answerWith(const frame::Frame& request, Bytes payload)
{
    frame::Frame answer;
    answer.seq = request.seq;
    answer.station = 1;
    answer.command = request.command | proto::kAnswerBit;
    answer.payload = std::move(payload);
    return frame::encode(answer);
}

// A reader of the test's own on a loopback port: it takes one request at a
// time and replies as the script says.
class LoopbackReader {
public:
    explicit LoopbackReader(Script script) : script_(std::move(script))
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
    ~LoopbackReader()
    {
        stop_ = true;
        ::shutdown(listenFd_, SHUT_RDWR);
        thread_.join();
        ::close(listenFd_);
    }

    // Opens a library handle to this reader.
    uint32_t open() const
    {
        ScopedEnv port("READER_TCP_PORT", std::to_string(port_));
        uint32_t handle = 0;
        EXPECT_EQ(OpenReader(&handle, READER_PORT_TCP, "127.0.0.1"), READER_OK);
        return handle;
    }

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
        unsigned index = 0;
        while (!stop_) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            decoder.feed(buffer, static_cast<std::size_t>(n));
            while (const auto request = decoder.next())
                reply(fd, script_(index++, *request));
        }
        ::close(fd);
    }

    static void reply(int fd, const Reply& reply)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(reply.delayMs));
        const Bytes& bytes = reply.bytes;
        for (std::size_t at = 0; at < bytes.size(); at += reply.piece) {
            const std::size_t size = std::min(reply.piece, bytes.size() - at);
            if (::send(fd, bytes.data() + at, size, MSG_NOSIGNAL) != static_cast<ssize_t>(size))
                return;
            // A pause between pieces, so that the library reads them one by one.
            std::this_thread::sleep_for(std::chrono::milliseconds(reply.pauseMs));
        }
    }

    Script script_;
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
    const DeliveryCase& delivery = GetParam();
    LoopbackReader reader([&delivery](unsigned, const frame::Frame& request) {
        Bytes payload = {request.payload.at(0), request.payload.at(1)};   // address and length
        const Bytes data = dataLookingLikeAnAnswer(request.seq);
        payload.insert(payload.end(), data.begin(), data.end());
        Reply reply{0, delivery.noise, delivery.piece};
        const Bytes answer = answerWith(request, payload);
        reply.bytes.insert(reply.bytes.end(), answer.begin(), answer.end());
        return reply;
    });
    const uint32_t handle = reader.open();
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

struct MissedAnswerCase {
    const char* name;
    Reply first;         // instead of the first answer
    int answerMs;        // how long the reader takes for each later answer
    std::size_t piece;   // and in what pieces it sends them
    int maxLost;         // of the ten calls after the first
};

class MissedAnswer : public ::testing::TestWithParam<MissedAnswerCase> {};

// The first read gets no answer, or only the start of one; the reader answers
// every later read. After the first call's timeout the link waits briefly
// for a reader that may be gone, but that must cost a living reader, quick,
// slow or on a slow line, at most the calls of the table.
TEST_P(MissedAnswer, CostsFewCalls)
{
    const MissedAnswerCase& row = GetParam();
    LoopbackReader reader([&row](unsigned index, const frame::Frame& request) {
        Bytes payload = request.payload;   // address and length, then the 64 bytes read
        payload.resize(2 + 64, 0x5A);
        return index == 0 ? row.first : Reply{row.answerMs, answerWith(request, payload), row.piece};
    });
    const uint32_t handle = reader.open();
    uint8_t data[64] = {};
    ASSERT_EQ(GetParameter(handle, 3, 64, data), READER_TIMEOUT);
    int lost = 0;
    for (int call = 0; call < 10; ++call)
        lost += GetParameter(handle, 3, 64, data) != READER_OK;
    EXPECT_LE(lost, row.maxLost) << "calls lost of 10";
    CloseReader(handle);
}

// A start byte announcing a frame of the largest size, shortly before the call gives up.
const Bytes kCutOff = {frame::kStartOfFrame, 0x01, 0x04};

INSTANTIATE_TEST_SUITE_P(All, MissedAnswer, ::testing::Values(
    MissedAnswerCase{"noise_then_a_fast_reader", {450, kCutOff}, 0, SIZE_MAX, 2},
    MissedAnswerCase{"noise_then_a_reader_answering_in_430_ms", {430, kCutOff}, 430, SIZE_MAX, 2},
    // 75 bytes one by one, 2 ms apart: slower than a 64-byte answer at 9600 bit/s.
    MissedAnswerCase{"nothing_then_a_reader_on_a_slow_line", {}, 5, 1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// An Ok answer to this very request (its sequence number and command) too
// short to name an address and length is a broken answer, not a late one.
TEST_F(LibraryTest, ShortOkAnswerIsABadFrameNotATimeout)
{
    for (const Bytes& payload : {Bytes{}, Bytes{3}}) {
        LoopbackReader reader([&payload](unsigned, const frame::Frame& request) {
            return Reply{0, answerWith(request, payload)};
        });
        const uint32_t handle = reader.open();
        uint8_t byte = 7;
        EXPECT_EQ(SetParameter(handle, 3, 1, &byte), READER_BAD_FRAME) << payload.size() << "-byte answer";
        EXPECT_EQ(GetParameter(handle, 3, 1, &byte), READER_BAD_FRAME) << payload.size() << "-byte answer";
        CloseReader(handle);
    }
}

// A reader reading tags sends its tag frames on the same link as its answers.
// One that begins with a start byte announcing the largest frame, then the
// answer, then more tag frames at a pace that never lets the line go quiet:
// the answer is taken once whole, not after the 260 bytes announced.
TEST_F(LibraryTest, AnswerAmongTagFramesIsTakenOnceWhole)
{
    const Bytes tagFrame = {frame::kStartOfFrame, 0x01, 0x04, 0xE2, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x0D, 0x0A};
    LoopbackReader reader([&tagFrame](unsigned, const frame::Frame& request) {
        Reply reply{0, tagFrame, tagFrame.size(), 40};
        const Bytes answer = answerWith(request, {request.payload.at(0), request.payload.at(1), 15});
        reply.bytes.insert(reply.bytes.end(), answer.begin(), answer.end());
        for (int i = 0; i < 20; ++i)
            reply.bytes.insert(reply.bytes.end(), tagFrame.begin(), tagFrame.end());
        return reply;
    });
    const uint32_t handle = reader.open();
    uint8_t power = 0;
    EXPECT_EQ(GetParameter(handle, 192, 1, &power), READER_OK);
    EXPECT_EQ(power, 15);
    CloseReader(handle);
}

// Writes the settings through a handle of their own, one parameter at a time.
void writeSettings(const SimProcess& sim, const std::vector<std::pair<uint8_t, Bytes>>& settings)
{
    const uint32_t handle = openVia(sim, Via::Tcp);
    for (const auto& [address, bytes] : settings)
        ASSERT_EQ(SetParameter(handle, address, static_cast<uint8_t>(bytes.size()), bytes.data()), READER_OK)
            << "address " << int(address);
    CloseReader(handle);
}

// "Connect" and a page query on a reader in timing mode that sends its tag
// frames on the library's own TCP connection, each beginning with the
// protocol's start byte and a plausible length (preamble A5, reader number 0).
TEST_F(LibraryTest, ConnectAndQueryWhileTheReaderSendsTagFrames)
{
    SimProcess sim({"--no-pty", "--tag-count", "50", "--tag-rate", "20"});
    writeSettings(sim, {{130, {0x10}}, {72, {frame::kStartOfFrame, 0xFF}}, {100, {0}}, {129, {1}}, {128, {2}}});
    const uint32_t handle = openVia(sim, Via::Tcp);
    uint8_t version[4] = {};
    EXPECT_EQ(GetFirmwareVersion(handle, version), READER_OK) << "asked while frames arrive";
    // Half a second of reads among about 500 tag frames.
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    for (int call = 0; std::chrono::steady_clock::now() < end; ++call) {
        uint8_t byte = 0;
        ASSERT_EQ(GetParameter(handle, 153, 1, &byte), READER_OK) << "call " << call << " while frames arrive";
    }
    EXPECT_EQ(StopRFwork(handle), READER_OK);
    for (const uint8_t address : {192, 208, 224, 240, 153, 154}) {
        uint8_t byte = 0;
        EXPECT_EQ(GetParameter(handle, address, 1, &byte), READER_OK) << "address " << int(address);
    }
    CloseReader(handle);
}

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
