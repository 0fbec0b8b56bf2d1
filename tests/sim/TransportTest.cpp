// readersim's links: TCP and the pseudo-terminal served together over one
// reader, surviving line noise, malformed frames and vanishing clients.
#include "SimClient.h"
#include "SimProcess.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using proto::Command;
using proto::ReaderStatus;
using Bytes = std::vector<uint8_t>;

TEST(Transport, TcpAndPtyShareOneReader)
{
    SimProcess sim;
    ASSERT_NE(sim.tcpPort(), 0);
    ASSERT_NE(sim.ptyPath(), "");
    auto tcp = SimClient::overTcp(sim.tcpPort());
    auto pty = SimClient::overPty(sim.ptyPath());

    ASSERT_EQ(writeParameter(tcp, 208, {9}), ReaderStatus::Ok);
    EXPECT_EQ(readParameter(pty, 208, 1), Bytes{9});
    ASSERT_EQ(writeParameter(pty, 153, {0x0F}), ReaderStatus::Ok);
    EXPECT_EQ(readParameter(tcp, 153, 1), Bytes{0x0F});
}

TEST(Transport, RequestsInFlightOnBothLinksAreAllAnswered)
{
    SimProcess sim;
    auto tcp = SimClient::overTcp(sim.tcpPort());
    auto pty = SimClient::overPty(sim.ptyPath());
    std::vector<uint8_t> tcpSeqs, ptySeqs;
    for (int i = 0; i < 20; ++i) {
        tcpSeqs.push_back(tcp.send(Command::GetParameter, {192, 1}));
        ptySeqs.push_back(pty.send(Command::GetFirmwareVersion));
    }
    for (int i = 0; i < 20; ++i) {
        const auto a = tcp.receive();
        const auto b = pty.receive();
        ASSERT_TRUE(a && b) << "answer " << i;
        EXPECT_EQ(a->seq, tcpSeqs[i]);
        EXPECT_EQ(a->payload, (Bytes{192, 1, 15}));
        EXPECT_EQ(b->seq, ptySeqs[i]);
        EXPECT_EQ(b->payload, (Bytes{1, 4, 0, 6}));
    }
}

TEST(Transport, SeveralTcpClientsAtOnce)
{
    SimProcess sim({"--no-pty"});
    auto first = SimClient::overTcp(sim.tcpPort());
    auto second = SimClient::overTcp(sim.tcpPort());
    ASSERT_EQ(writeParameter(second, 100, {5}), ReaderStatus::Ok);
    EXPECT_EQ(readParameter(first, 100, 1), Bytes{5});
}

TEST(Transport, PtyOnlyAndLinked)
{
    TempFolder folder;
    const std::string link = folder.file("ttyReader");
    std::filesystem::create_symlink("/dev/null", link);   // a stale link is replaced
    {
        SimProcess sim({"--no-tcp", "--pty-link", link});
        EXPECT_EQ(sim.tcpPort(), 0);
        EXPECT_EQ(std::filesystem::read_symlink(link).string(), sim.ptyPath());
        auto pty = SimClient::overPty(link);
        EXPECT_EQ(readParameter(pty, 80, 2), (Bytes{0x17, 0x70}));
    }
    EXPECT_FALSE(std::filesystem::is_symlink(link)) << "the link goes with the reader";
}

TEST(Transport, PtyClientThatCloses_NextClientIsServed)
{
    SimProcess sim({"--no-tcp"});
    {
        auto pty = SimClient::overPty(sim.ptyPath());
        ASSERT_EQ(writeParameter(pty, 101, {0}), ReaderStatus::Ok);
    }
    auto pty = SimClient::overPty(sim.ptyPath());
    EXPECT_EQ(readParameter(pty, 101, 1), Bytes{0});
}

frame::Frame goodRequest(uint8_t seq)
{
    frame::Frame f;
    f.seq = seq;
    f.station = proto::kStationAny;
    f.command = static_cast<uint8_t>(Command::GetFirmwareVersion);
    return f;
}

Bytes corrupted(Bytes bytes, std::size_t index)
{
    bytes.at(index) ^= 0x40;
    return bytes;
}

struct NoiseCase {
    std::string name;
    Bytes noise;
};

Bytes frameWithPayload(std::size_t size)
{
    frame::Frame f = goodRequest(9);
    f.payload.assign(size, 0x11);
    return frame::encode(f);
}

Bytes oversizeHeader()
{
    // A start byte and a length beyond any frame, then more junk.
    return {frame::kStartOfFrame, 0x7F, 0xFF, 1, 255, 0x20, 0, 1, 2, 3};
}

Bytes truncatedFrame()
{
    Bytes bytes = frame::encode(goodRequest(5));
    bytes.resize(bytes.size() - 3);
    return bytes;
}

const NoiseCase kNoise[] = {
    {"line_noise", {0x00, 0xFF, 0x13, 0x37, 0x0D, 0x0A}},
    {"bad_crc", corrupted(frame::encode(goodRequest(3)), 8)},
    {"bad_length", corrupted(frame::encode(goodRequest(4)), 2)},
    {"oversize_header", oversizeHeader()},
    {"start_bytes_only", Bytes(40, frame::kStartOfFrame)},
    {"truncated_frame", truncatedFrame()},
    {"unknown_command_in_valid_frame", [] { auto f = goodRequest(6); f.command = 0x7E; return frame::encode(f); }()},
    {"huge_parameter_read", [] {
        auto f = goodRequest(7); f.command = static_cast<uint8_t>(Command::GetParameter); f.payload = {0, 255};
        return frame::encode(f); }()},
    {"maximum_payload", frameWithPayload(frame::kMaxPayload)},
};

class TransportNoise : public ::testing::TestWithParam<NoiseCase> {};

// After the noise the same connection still gets answers (once a full frame
// clears any partial one), and a fresh connection is served.
TEST_P(TransportNoise, ReaderKeepsServing)
{
    SimProcess sim({"--no-pty"});
    {
        auto client = SimClient::overTcp(sim.tcpPort());
        client.sendBytes(GetParam().noise);
        // Enough well-formed requests to outlast any partial frame the noise began.
        std::optional<frame::Frame> answer;
        for (int i = 0; i < 40 && !answer; ++i) {
            const uint8_t seq = client.send(Command::GetFirmwareVersion);
            while (auto got = client.receive(i < 39 ? 20 : 2000))
                if (got->seq == seq && got->command == (0x11 | proto::kAnswerBit)) {
                    answer = got;
                    break;
                }
        }
        ASSERT_TRUE(answer.has_value());
        EXPECT_EQ(answer->payload, (Bytes{1, 4, 0, 6}));
        // Leave with the noise unanswered and the connection mid-frame.
        client.sendBytes(truncatedFrame());
    }
    auto fresh = SimClient::overTcp(sim.tcpPort());
    EXPECT_EQ(readParameter(fresh, 208, 1), Bytes{15});
}

INSTANTIATE_TEST_SUITE_P(All, TransportNoise, ::testing::ValuesIn(kNoise),
                         [](const auto& info) { return info.param.name; });

TEST(Transport, NoiseOnThePtyDoesNotStopTheReader)
{
    SimProcess sim({"--no-tcp"});
    auto pty = SimClient::overPty(sim.ptyPath());
    pty.sendBytes(Bytes{0x00, frame::kStartOfFrame, 0xFF, 0xFF, 0x42});
    EXPECT_EQ(readParameter(pty, 240, 1), Bytes{15});
}

TEST(Transport, ClientVanishingWithAnswersPendingDoesNotStopTheReader)
{
    SimProcess sim({"--no-pty", "--delay-ms", "100"});
    {
        auto client = SimClient::overTcp(sim.tcpPort());
        for (int i = 0; i < 50; ++i)
            client.send(Command::GetParameter, {0, 255});
    }
    ::usleep(250 * 1000);   // the answers fall due after the client left
    auto fresh = SimClient::overTcp(sim.tcpPort());
    EXPECT_EQ(readParameter(fresh, 224, 1), Bytes{15});
}

// One program closing the pseudo-terminal and the next opening it at once, as
// tools run one after another do: readersim may learn of the close only after
// the new client's request is in, and must not take that request or its answer
// for what the one who left was owed.
TEST(Transport, AClientOpeningThePtyJustAfterAnotherClosedItIsAnswered)
{
    SimProcess sim({"--no-tcp"});
    for (int round = 0; round < 3000; ++round) {
        // From at once to a little after readersim wakes for the close.
        const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(round % 100);
        while (std::chrono::steady_clock::now() < until) {
        }
        auto client = SimClient::overPty(sim.ptyPath());
        ASSERT_TRUE(client.call(Command::GetFirmwareVersion).has_value())
            << "round " << round << " got no answer";
    }
}

Bytes headerOfLongFrame()
{
    // A valid header announcing the longest payload, then only a few of its bytes.
    return {frame::kStartOfFrame, 0x01, 0x04, 1, 255, static_cast<uint8_t>(Command::SetParameter), 0, 0, 255};
}

class TransportStalePartialFrame : public ::testing::TestWithParam<Link> {
protected:
    SimClient connect(const SimProcess& sim) const
    {
        return GetParam() == Link::Tcp ? SimClient::overTcp(sim.tcpPort()) : SimClient::overPty(sim.ptyPath());
    }
};

TEST_P(TransportStalePartialFrame, DoesNotSwallowTheNextRequest)
{
    SimProcess sim;
    auto client = connect(sim);
    client.sendBytes(headerOfLongFrame());
    ::usleep(250 * 1000);
    EXPECT_TRUE(client.call(Command::GetFirmwareVersion).has_value())
        << "the request was taken as the rest of an old frame";
}

TEST_P(TransportStalePartialFrame, LeftByAClientThatClosedDoesNotReachTheNextOne)
{
    SimProcess sim;
    connect(sim).sendBytes(headerOfLongFrame());
    ::usleep(250 * 1000);
    auto next = connect(sim);
    EXPECT_TRUE(next.call(Command::GetFirmwareVersion).has_value());
}

INSTANTIATE_TEST_SUITE_P(All, TransportStalePartialFrame, ::testing::Values(Link::Tcp, Link::Pty),
                         [](const auto& info) { return info.param == Link::Tcp ? "Tcp" : "Pty"; });

TEST(Transport, ClientThatReadsLateGetsEveryAnswer)
{
    SimProcess sim({"--no-pty"});
    auto client = SimClient::overTcp(sim.tcpPort());
    // Far more answer bytes than any buffer on the way holds before the client reads.
    constexpr int kRequests = 2000;
    for (int i = 0; i < kRequests; ++i)
        client.send(Command::GetParameter, {0, 255});
    int answers = 0;
    while (auto answer = client.receive(2000)) {
        ASSERT_EQ(answer->payload.size(), 2u + 255u);
        ++answers;
    }
    EXPECT_EQ(answers, kRequests);
}

struct StopCase {
    int signal;
    std::vector<std::string> args;
};

class TransportStop : public ::testing::TestWithParam<StopCase> {};

TEST_P(TransportStop, EndsCleanlyOnSignal)
{
    SimProcess sim(GetParam().args);
    auto client = SimClient::overTcp(sim.tcpPort());
    client.send(Command::GetFirmwareVersion);
    sim.kill(GetParam().signal);
    ASSERT_TRUE(WIFEXITED(sim.waitStatus()));
    EXPECT_EQ(WEXITSTATUS(sim.waitStatus()), 0);
}

INSTANTIATE_TEST_SUITE_P(All, TransportStop, ::testing::Values(
    StopCase{SIGTERM, {}}, StopCase{SIGINT, {}}, StopCase{SIGTERM, {"--no-pty", "--delay-ms", "60000"}},
    StopCase{SIGINT, {"--silent"}}));

} // namespace
