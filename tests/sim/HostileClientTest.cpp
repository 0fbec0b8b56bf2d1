// readersim against clients and surroundings that do their worst: bytes in
// pieces, a flood of requests never read, no descriptors left, connections
// that never send, a second readersim on the same state file, a stderr nobody
// reads.
#include "SimClient.h"
#include "SimProcess.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using proto::Command;
using proto::ReaderStatus;
using Bytes = std::vector<uint8_t>;

// A write of 10 bytes at address 100 whose data is a whole "off-line enable 1" frame.
const Bytes kWriteCarryingAFrame = {0xA5, 0x00, 0x0C, 0x07, 0xFF, 0x21, 0x00, 0x64, 0x0A, 0xA5, 0x00,
                                    0x01, 0x42, 0xFF, 0x22, 0x00, 0x01, 0x52, 0xA1, 0x46, 0x67};

class SplitDelivery : public ::testing::TestWithParam<Link> {};

// A serial line delivers bytes one by one: the frame inside the payload is data, not a command.
TEST_P(SplitDelivery, FrameInsideAPayloadIsData)
{
    SimProcess sim;
    auto client = GetParam() == Link::Tcp ? SimClient::overTcp(sim.tcpPort()) : SimClient::overPty(sim.ptyPath());
    for (const uint8_t byte : kWriteCarryingAFrame) {
        client.sendBytes({byte});
        // A pause between bytes, so that readersim reads them one at a time.
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    const auto answer = client.receive();
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->seq, 0x07) << "the answer is to the inner frame";
    EXPECT_EQ(answer->command, 0xA1);
    EXPECT_EQ(answer->status, 0);
    EXPECT_EQ(readParameter(client, 87, 1), Bytes{0}) << "the inner off-line enable was carried out";
    EXPECT_EQ(readParameter(client, 100, 10), Bytes(kWriteCarryingAFrame.begin() + 9, kWriteCarryingAFrame.begin() + 19));
}

INSTANTIATE_TEST_SUITE_P(All, SplitDelivery, ::testing::Values(Link::Tcp, Link::Pty),
                         [](const auto& info) { return info.param == Link::Tcp ? "Tcp" : "Pty"; });

// Peak resident memory of a process, in kB.
long peakMemoryKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

// Sends requests without reading until the connection takes no more (or limit bytes went out).
std::size_t floodWithoutReading(int fd, const Bytes& request, std::size_t limit)
{
    Bytes burst;
    for (int i = 0; i < 512; ++i)
        burst.insert(burst.end(), request.begin(), request.end());
    std::size_t sent = 0;
    while (sent < limit) {
        const ssize_t n = ::send(fd, burst.data(), burst.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, 500) <= 0)
            break;   // readersim stopped reading
    }
    return sent;
}

// Answers held back by --delay-ms count against the output limit of a client that does not read.
TEST(HostileClient, HeldBackAnswersDoNotGrowWithoutBound)
{
    SimProcess sim({"--no-pty", "--delay-ms", "60000"});
    const long before = peakMemoryKb(sim.pid());
    ASSERT_GT(before, 0);
    int fd = -1;
    {
        // The raw socket of a client that sends reads of the whole memory and never reads an answer.
        fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(sim.tcpPort());
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    }
    frame::Frame read;
    read.station = proto::kStationAny;
    read.command = static_cast<uint8_t>(Command::GetParameter);
    read.payload = {0, 255};
    // 16 MB of requests would owe some 400 MB of answers.
    floodWithoutReading(fd, frame::encode(read), 16u << 20);
    const long after = peakMemoryKb(sim.pid());
    ::close(fd);
    EXPECT_LT(after - before, 32 * 1024) << "readersim grew from " << before << " kB to " << after << " kB";
}

// Clients that connect while readersim has no descriptor left wait; it does not spin, and serves them later.
TEST(HostileClient, OutOfDescriptorsWaitsInsteadOfSpinning)
{
    SimProcess sim({"--no-pty"});
    const std::size_t open = std::distance(std::filesystem::directory_iterator("/proc/" + std::to_string(sim.pid()) + "/fd"),
                                           std::filesystem::directory_iterator{});
    const rlimit limit{open + 1, open + 1};   // room for one client
    ASSERT_EQ(::prlimit(sim.pid(), RLIMIT_NOFILE, &limit, nullptr), 0);

    auto served = SimClient::overTcp(sim.tcpPort());
    ASSERT_TRUE(served.call(Command::GetFirmwareVersion).has_value());
    std::vector<SimClient> waiting;
    for (int i = 0; i < 3; ++i)
        waiting.push_back(SimClient::overTcp(sim.tcpPort()));   // queued by the system: accept() gives EMFILE
    waiting[0].send(Command::GetFirmwareVersion);

    // CPU time readersim takes while nothing can be served.
    auto cpuTicks = [&sim] {
        std::ifstream stat("/proc/" + std::to_string(sim.pid()) + "/stat");
        std::string text((std::istreambuf_iterator<char>(stat)), {});
        std::istringstream fields(text.substr(text.rfind(')') + 2));
        std::string field;
        long user = 0, system = 0;
        for (int i = 3; i <= 15 && fields >> field; ++i) {
            if (i == 14)
                user = std::stol(field);
            if (i == 15)
                system = std::stol(field);
        }
        return user + system;
    };
    const long ticksBefore = cpuTicks();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const long ticks = cpuTicks() - ticksBefore;
    EXPECT_LT(ticks, sysconf(_SC_CLK_TCK) / 10) << "readersim spun on the listening socket";

    // A descriptor frees: the waiting client is served.
    { SimClient leaving = std::move(served); }
    EXPECT_TRUE(waiting[0].receive().has_value());
}

// Past the client limit a connection waits, unanswered, until a client leaves.
TEST(HostileClient, ClientsPastTheLimitWaitForOneToLeave)
{
    SimProcess sim({"--no-pty"});
    std::vector<std::unique_ptr<SimClient>> served;
    for (std::size_t i = 0; i < 256; ++i) {
        served.push_back(std::make_unique<SimClient>(SimClient::overTcp(sim.tcpPort())));
        ASSERT_TRUE(served.back()->call(Command::GetFirmwareVersion).has_value()) << "client " << i;
    }
    auto waiting = SimClient::overTcp(sim.tcpPort());
    waiting.send(Command::GetFirmwareVersion);
    EXPECT_FALSE(waiting.receive(300).has_value()) << "client 257 was served";
    served.front().reset();
    EXPECT_TRUE(waiting.receive().has_value()) << "client 257 still waits after one left";
}

// Connections that never send hold no slot for ever: once every slot is
// taken, one quiet for the idle time gives way to a client that waits, and a
// client in use all the while keeps its own.
TEST(HostileClient, IdleClientsGiveWayWhenEverySlotIsTaken)
{
    SimProcess sim({"--no-pty", "--idle-timeout", "1"});
    auto inUse = SimClient::overTcp(sim.tcpPort());
    ASSERT_TRUE(inUse.call(Command::GetFirmwareVersion).has_value());
    std::vector<SimClient> idle;
    for (std::size_t i = 1; i < 256; ++i) {
        idle.push_back(SimClient::overTcp(sim.tcpPort()));
        // A call between connections lets readersim take them one by one
        // (a burst overflows the system's listen queue and costs seconds).
        ASSERT_TRUE(inUse.call(Command::GetFirmwareVersion).has_value());
    }
    auto waiting = SimClient::overTcp(sim.tcpPort());
    waiting.send(Command::GetFirmwareVersion);
    for (int call = 0; call < 15; ++call) {
        ASSERT_TRUE(inUse.call(Command::GetFirmwareVersion).has_value()) << "the client in use was dropped";
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_TRUE(waiting.receive().has_value()) << "no idle client gave way";
}

// Two readers saving one file would undo each other's writes: the second is refused with the reason.
TEST(HostileClient, SecondReadersimOnOneStateFileIsRefused)
{
    TempFolder folder;
    const std::string state = folder.file("reader.state");
    const std::string errors = folder.file("errors.txt");
    SimProcess first({"--no-pty", "--state", state});
    // timeout ends a second readersim that started after all (exit code 124).
    const std::string command = "timeout 10 " + std::string(READERSIM_PATH) + " --no-pty --tcp 127.0.0.1:0 --state "
        + state + " </dev/null >/dev/null 2>" + errors;
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1) << "the second readersim started";
    std::ifstream text(errors);
    const std::string message((std::istreambuf_iterator<char>(text)), {});
    EXPECT_NE(message.find("in use by another readersim"), std::string::npos) << message;

    auto client = SimClient::overTcp(first.tcpPort());
    EXPECT_EQ(writeParameter(client, 208, {4}), ReaderStatus::Ok);
    first.kill(SIGTERM);
    SimProcess next({"--no-pty", "--state", state});   // the lock ends with its holder
    auto again = SimClient::overTcp(next.tcpPort());
    EXPECT_EQ(readParameter(again, 208, 1), Bytes{4});
}

// Every refused save logs a line; with stderr a pipe nobody reads, readersim must go on answering.
TEST(HostileClient, UnreadStderrDoesNotStopTheReader)
{
    TempFolder folder;
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const int savedStderr = ::dup(STDERR_FILENO);
    ::dup2(ends[1], STDERR_FILENO);   // readersim inherits it as its stderr
    std::unique_ptr<SimProcess> sim;
    try {
        sim = std::make_unique<SimProcess>(std::vector<std::string>{"--no-pty", "--state", folder.file("gone/reader.state")});
    } catch (...) {
    }
    ::dup2(savedStderr, STDERR_FILENO);
    ::close(savedStderr);
    ::close(ends[1]);
    ASSERT_TRUE(sim);
    auto client = SimClient::overTcp(sim->tcpPort());
    // Far more log lines than a pipe holds.
    for (int i = 0; i < 2000; ++i) {
        const auto answer = client.call(Command::SetParameter, {208, 1, 4});
        ASSERT_TRUE(answer.has_value()) << "no answer to write " << i;
        EXPECT_EQ(answer->status, static_cast<uint8_t>(ReaderStatus::Failed));
    }
    ::close(ends[0]);
}

} // namespace
