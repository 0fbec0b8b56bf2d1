// Each fault option of readersim does what it says, over a real link.
#include "SimClient.h"
#include "SimProcess.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using proto::Command;
using proto::ReaderStatus;
using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

uint8_t status(ReaderStatus s) { return static_cast<uint8_t>(s); }

TEST(FaultOptions, SilentReaderReadsButNeverAnswers)
{
    SimProcess sim({"--silent"});
    auto tcp = SimClient::overTcp(sim.tcpPort());
    auto pty = SimClient::overPty(sim.ptyPath());
    tcp.send(Command::GetFirmwareVersion);
    pty.send(Command::GetFirmwareVersion);
    EXPECT_FALSE(tcp.receive(300).has_value());
    EXPECT_FALSE(pty.receive(300).has_value());
}

TEST(FaultOptions, DelayedAnswersComeLateAndInOrder)
{
    SimProcess sim({"--delay-ms", "300"});
    auto tcp = SimClient::overTcp(sim.tcpPort());
    const auto start = Clock::now();
    const uint8_t first = tcp.send(Command::GetParameter, {192, 1});
    const uint8_t second = tcp.send(Command::GetFirmwareVersion);
    EXPECT_FALSE(tcp.receive(150).has_value()) << "an answer came before its delay";
    const auto a = tcp.receive(3000);
    const auto b = tcp.receive(3000);
    ASSERT_TRUE(a && b);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(300));
    EXPECT_EQ(a->seq, first);
    EXPECT_EQ(b->seq, second);
}

// A slow reader works on one request at a time, in order, over every
// connection; a lost frame takes none of its time and gets no answer.
TEST(FaultOptions, SlowReaderAnswersOneAtATimeAndLosesTheNthFrame)
{
    SimProcess sim({"--work-ms", "150", "--lose-frame", "2"});
    auto tcp = SimClient::overTcp(sim.tcpPort());
    auto pty = SimClient::overPty(sim.ptyPath());
    const auto start = Clock::now();
    const uint8_t first = tcp.send(Command::GetParameter, {192, 1});
    tcp.send(Command::GetParameter, {192, 1});
    const uint8_t third = tcp.send(Command::SetParameter, {192, 1, 5});
    const auto a = tcp.receive(3000);
    ASSERT_TRUE(a.has_value());
    EXPECT_EQ(a->seq, first);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(150));
    pty.send(Command::GetFirmwareVersion);   // waits for the third TCP request, still in work
    const auto b = tcp.receive(3000);
    ASSERT_TRUE(b.has_value());
    EXPECT_EQ(b->seq, third) << "the lost frame was answered";
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(300)) << "requests were worked on at once";
    ASSERT_TRUE(pty.receive(3000).has_value());
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(450)) << "the connections do not share one reader";
    EXPECT_FALSE(tcp.receive(200).has_value());
    EXPECT_EQ(readParameter(tcp, 192, 1), (Bytes{5}));
}

TEST(FaultOptions, DelayedAnswerOnThePty)
{
    SimProcess sim({"--delay-ms", "200", "--no-tcp"});
    auto pty = SimClient::overPty(sim.ptyPath());
    pty.send(Command::GetFirmwareVersion);
    EXPECT_FALSE(pty.receive(100).has_value());
    EXPECT_TRUE(pty.receive(3000).has_value());
}

TEST(FaultOptions, GarbageBeforeEveryAnswerStillDecodes)
{
    SimProcess sim({"--garbage"});
    auto tcp = SimClient::overTcp(sim.tcpPort());
    auto pty = SimClient::overPty(sim.ptyPath());
    for (SimClient* client : {&tcp, &pty}) {
        for (int i = 0; i < 3; ++i) {
            const auto answer = client->call(Command::GetParameter, {80, 2});
            ASSERT_TRUE(answer.has_value());
            EXPECT_EQ(answer->payload, (Bytes{80, 2, 0x17, 0x70}));
        }
        EXPECT_GE(client->discardedBytes(), 3u * 3u) << "no garbage seen before the answers";
    }
}

TEST(FaultOptions, TcpConnectionDroppedAfterNFrames)
{
    SimProcess sim({"--drop-after", "2", "--no-pty"});
    auto client = SimClient::overTcp(sim.tcpPort());
    EXPECT_TRUE(client.call(Command::GetFirmwareVersion).has_value());
    EXPECT_TRUE(client.call(Command::GetFirmwareVersion).has_value()) << "the N-th frame is still answered";
    EXPECT_TRUE(client.closedByPeer(2000));
    // Each connection counts on its own: a new one is served again.
    auto again = SimClient::overTcp(sim.tcpPort());
    EXPECT_TRUE(again.call(Command::GetFirmwareVersion).has_value());
}

TEST(FaultOptions, DroppedConnectionStillGetsItsLateAnswer)
{
    SimProcess sim({"--drop-after", "1", "--delay-ms", "100", "--no-pty"});
    auto client = SimClient::overTcp(sim.tcpPort());
    EXPECT_TRUE(client.call(Command::GetFirmwareVersion).has_value());
    EXPECT_TRUE(client.closedByPeer(2000));
}

TEST(FaultOptions, PtyIgnoresEverythingAfterNFrames)
{
    SimProcess sim({"--drop-after", "1"});
    auto pty = SimClient::overPty(sim.ptyPath());
    EXPECT_TRUE(pty.call(Command::GetFirmwareVersion).has_value());
    pty.send(Command::GetFirmwareVersion);
    EXPECT_FALSE(pty.receive(300).has_value());
    // The TCP side is a link of its own and still answers.
    auto tcp = SimClient::overTcp(sim.tcpPort());
    EXPECT_TRUE(tcp.call(Command::GetFirmwareVersion).has_value());
}

struct StatusCase {
    std::string name;
    std::vector<std::string> args;
    Command command;
    Bytes payload;
    uint8_t station;
    std::optional<uint8_t> expectedStatus;   // nullopt: no answer at all
    Bytes expectedPayload;
};

class FaultOptionStatus : public ::testing::TestWithParam<StatusCase> {};

TEST_P(FaultOptionStatus, AnswersAsConfigured)
{
    const auto& c = GetParam();
    SimProcess sim(c.args);
    auto client = SimClient::overTcp(sim.tcpPort());
    const uint8_t seq = client.send(c.command, c.payload, c.station);
    const auto answer = client.receive(c.expectedStatus ? 2000 : 300);
    ASSERT_EQ(answer.has_value(), c.expectedStatus.has_value());
    if (!answer)
        return;
    EXPECT_EQ(answer->seq, seq);
    EXPECT_EQ(answer->status, *c.expectedStatus);
    EXPECT_EQ(answer->payload, c.expectedPayload);
}

const std::vector<std::string> kFailRead = {"--fail-read", "208,153"};
const std::vector<std::string> kFailWrite = {"--fail-write", "208"};
const std::vector<std::string> kStation3 = {"--station", "3"};

INSTANTIATE_TEST_SUITE_P(All, FaultOptionStatus, ::testing::Values(
    StatusCase{"fail_read_listed", kFailRead, Command::GetParameter, {208, 1}, 255, status(ReaderStatus::Failed), {}},
    StatusCase{"fail_read_second_listed", kFailRead, Command::GetParameter, {153, 1}, 255, status(ReaderStatus::Failed), {}},
    StatusCase{"fail_read_range", kFailRead, Command::GetParameter, {150, 8}, 255, status(ReaderStatus::Failed), {}},
    StatusCase{"fail_read_other", kFailRead, Command::GetParameter, {192, 1}, 255, status(ReaderStatus::Ok), {192, 1, 15}},
    StatusCase{"fail_read_allows_write", kFailRead, Command::SetParameter, {208, 1, 5}, 255, status(ReaderStatus::Ok), {208, 1}},
    StatusCase{"fail_write_listed", kFailWrite, Command::SetParameter, {208, 1, 5}, 255, status(ReaderStatus::Failed), {}},
    StatusCase{"fail_write_allows_read", kFailWrite, Command::GetParameter, {208, 1}, 255, status(ReaderStatus::Ok), {208, 1, 15}},
    StatusCase{"fail_write_other", kFailWrite, Command::SetParameter, {192, 1, 5}, 255, status(ReaderStatus::Ok), {192, 1}},
    StatusCase{"station_own", kStation3, Command::GetParameter, {83, 1}, 3, status(ReaderStatus::Ok), {83, 1, 20}},
    StatusCase{"station_any", kStation3, Command::GetParameter, {83, 1}, 255, status(ReaderStatus::Ok), {83, 1, 20}},
    StatusCase{"station_other", kStation3, Command::GetParameter, {83, 1}, 1, std::nullopt, {}},
    StatusCase{"firmware", {"--firmware", "2.7.0.11"}, Command::GetFirmwareVersion, {}, 255, status(ReaderStatus::Ok), {2, 7, 0, 11}}),
    [](const auto& info) { return info.param.name; });

TEST(FaultOptions, StationNumberIsInTheAnswer)
{
    SimProcess sim({"--station", "7", "--no-pty"});
    auto client = SimClient::overTcp(sim.tcpPort());
    const auto answer = client.call(Command::GetFirmwareVersion);
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->station, 7);
}

} // namespace
