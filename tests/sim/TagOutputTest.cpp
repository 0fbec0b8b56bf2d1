// What readersim sends as it reads tags, read off its ports: each work mode,
// a trigger input worked through the control socket, pre-compare, timing
// output, the antenna and protocol masks, and client mode with a server that
// is away, never reads, or goes away. Frames are in the default format
// (02, reader 01, the 12-byte ID, 0D 0A); the ID's last byte names a tag:
// tags A, B and C end in 0A, 0B and 0C.
#include "DefaultMemory.h"
#include "SimClient.h"
#include "SimProcess.h"
#include "StateFile.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <fstream>
#include <map>
#include <netinet/in.h>
#include <poll.h>
#include <set>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace tag_output_test {

using Bytes = std::vector<uint8_t>;
using Settings = std::vector<std::pair<uint8_t, Bytes>>;
using Clock = std::chrono::steady_clock;
constexpr std::size_t kFrameSize = 16;

constexpr uint8_t kA = 0x0A, kB = 0x0B, kC = 0x0C;

// A line of the tag file: the tag named by the last byte of its ID, then rest.
std::string tag(uint8_t name, const std::string& rest)
{
    return std::string("E20068161234567890ABCD0") + "0123456789ABCDEF"[name] + " " + rest;
}

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

int connectTo(sockaddr* address, socklen_t size, int family)
{
    const int fd = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::connect(fd, address, size) != 0)
        throw std::runtime_error("cannot connect to readersim");
    return fd;
}

sockaddr_in loopback(uint16_t port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// Everything that arrives on fd within ms.
Bytes receiveFor(int fd, int ms)
{
    Bytes bytes;
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    for (auto now = Clock::now(); now < end; now = Clock::now()) {
        pollfd p{fd, POLLIN, 0};
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - now).count();
        if (::poll(&p, 1, static_cast<int>(left)) <= 0)
            continue;
        uint8_t buffer[4096];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

// How many frames of each tag the bytes hold. Every byte belongs to a whole
// frame, but for the last frame of a stream cut off while it flowed (cut).
std::map<uint8_t, int> framesByTag(const Bytes& bytes, bool cut = false)
{
    std::map<uint8_t, int> count;
    if (!cut)
        EXPECT_EQ(bytes.size() % kFrameSize, 0u) << "a frame cut short";
    for (std::size_t at = 0; at + kFrameSize <= bytes.size(); at += kFrameSize) {
        EXPECT_TRUE(bytes[at] == 0x02 && bytes[at + 1] == 0x01 && bytes[at + 14] == 0x0D && bytes[at + 15] == 0x0A)
            << "no frame at byte " << at;
        ++count[bytes[at + 13]];
    }
    return count;
}

// A readersim whose memory holds settings at start (in master-slave mode,
// so that it reads nothing until startReading()), with a tag file and a
// control socket; it is configured over its pseudo-terminal.
class TaggedReader {
public:
    TaggedReader(const std::vector<std::string>& tags, const Settings& settings, std::vector<std::string> args = {})
    {
        std::ofstream tagFile(folder_.file("tags.txt"));
        for (const std::string& line : tags)
            tagFile << line << '\n';
        tagFile.close();
        sim::ParameterMemory memory = sim::defaultParameterMemory();
        for (const auto& [address, bytes] : settings)
            std::copy(bytes.begin(), bytes.end(), memory.begin() + address);
        std::string error;
        if (!sim::saveStateFile(folder_.file("memory"), memory, error))
            throw std::runtime_error(error);
        if (!tags.empty())
            args.insert(args.end(), {"--tags", folder_.file("tags.txt")});
        args.insert(args.end(), {"--state", folder_.file("memory"), "--control", folder_.file("control")});
        sim_ = std::make_unique<SimProcess>(args);
        pty_ = std::make_unique<SimClient>(SimClient::overPty(sim_->ptyPath()));
    }

    void startReading(uint8_t workMode) { write(128, {workMode}); }
    void write(uint8_t address, Bytes bytes) { ASSERT_EQ(writeParameter(*pty_, address, std::move(bytes)), proto::ReaderStatus::Ok); }
    SimClient& pty() { return *pty_; }

    // A connection to the reader's TCP port, on which it sends frames in server mode.
    int connectTcp()
    {
        sockaddr_in address = loopback(sim_->tcpPort());
        return connectTo(reinterpret_cast<sockaddr*>(&address), sizeof address, AF_INET);
    }

    // One command on the control socket; its one-line answer.
    std::string control(const std::string& line)
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = folder_.file("control");
        std::copy(path.begin(), path.end(), address.sun_path);
        Fd fd(connectTo(reinterpret_cast<sockaddr*>(&address), sizeof address, AF_UNIX));
        const std::string text = line + "\n";
        EXPECT_EQ(::write(fd.get(), text.data(), text.size()), static_cast<ssize_t>(text.size()));
        std::string answer;
        for (const uint8_t c : receiveUntilNewline(fd.get()))
            answer.push_back(static_cast<char>(c));
        return answer;
    }

    uint64_t status(const std::string& key)
    {
        const std::string line = control("status");
        const auto at = line.find(key + "=");
        return at == std::string::npos ? 0 : std::stoull(line.substr(at + key.size() + 1));
    }

private:
    static Bytes receiveUntilNewline(int fd)
    {
        Bytes line;
        char c;
        while (::read(fd, &c, 1) == 1 && c != '\n')
            line.push_back(static_cast<uint8_t>(c));
        return line;
    }

    TempFolder folder_{"readersim-tags"};
    std::unique_ptr<SimProcess> sim_;
    std::unique_ptr<SimClient> pty_;
};

// Output on TCP in server mode, a read round every 100 ms, two tags read ten times a second.
const Settings kServerOutput = {{130, {0x10}}, {129, {10}}};
const std::vector<std::string> kTwoTags = {tag(kA, "* 10"), tag(kB, "* 10")};

TEST(TagOutput, TimingModeReadsEveryRoundUntilStopRfWorkAndAgainAfterReset)
{
    TaggedReader reader(kTwoTags, kServerOutput);
    Fd link(reader.connectTcp());
    EXPECT_TRUE(receiveFor(link.get(), 300).empty()) << "master-slave mode sends nothing on its own";

    reader.startReading(2);
    auto seen = framesByTag(receiveFor(link.get(), 1000));
    EXPECT_GE(seen[kA], 5);
    EXPECT_LE(seen[kA], 12);
    EXPECT_GE(seen[kB], 5);

    ASSERT_TRUE(reader.pty().call(proto::Command::StopRfWork));
    receiveFor(link.get(), 150);   // what was on its way
    EXPECT_TRUE(receiveFor(link.get(), 500).empty()) << "stopped";

    ASSERT_TRUE(reader.pty().call(proto::Command::ResetReader));
    seen = framesByTag(receiveFor(link.get(), 1000));
    EXPECT_GE(seen[kA], 5) << "reading again after the reset";
}

TEST(TagOutput, TriggeringModeReadsWhileAnEnabledInputIsActiveAndForTheDelayAfter)
{
    Settings settings = kServerOutput;
    settings.insert(settings.end(), {{145, {0x01}}, {146, {1}}});   // trigger 1 only, 1 s delay off
    TaggedReader reader(kTwoTags, settings);
    Fd link(reader.connectTcp());
    reader.startReading(3);
    EXPECT_TRUE(receiveFor(link.get(), 300).empty()) << "no input active";
    EXPECT_EQ(reader.control("trigger 2 on"), "ok");
    EXPECT_TRUE(receiveFor(link.get(), 300).empty()) << "input 2 is not switched on";

    EXPECT_EQ(reader.control("trigger 1 on"), "ok");
    EXPECT_FALSE(receiveFor(link.get(), 500).empty()) << "input 1 active";
    EXPECT_EQ(reader.control("trigger 1 off"), "ok");
    EXPECT_FALSE(receiveFor(link.get(), 500).empty()) << "within the delay off time";
    receiveFor(link.get(), 800);
    EXPECT_TRUE(receiveFor(link.get(), 500).empty()) << "after the delay off time";
    EXPECT_EQ(reader.control("trigger 9 on"), "error: trigger N on|off, with N from 1 to 4");
}

struct PreCompareCase {
    const char* name;
    bool flushTime;
    int forMs;
    int least, most;   // frames of each tag
};

class PreCompare : public ::testing::TestWithParam<PreCompareCase> {};

// Two tags read every 10 ms round; pre-compare with a flush time of 1 s.
TEST_P(PreCompare, SameIdIsNotSentAgainWithinTheFlushTime)
{
    const PreCompareCase& row = GetParam();
    TaggedReader reader({tag(kA, "* 100"), tag(kB, "* 100")},
                        {{130, {0x10}}, {129, {1}}, {141, {1}}, {147, {row.flushTime}}, {148, {0, 1}}});
    Fd link(reader.connectTcp());
    reader.startReading(2);
    const auto seen = framesByTag(receiveFor(link.get(), row.forMs));
    for (const uint8_t name : {kA, kB}) {
        EXPECT_GE(seen.count(name) ? seen.at(name) : 0, row.least) << "tag " << int(name);
        EXPECT_LE(seen.count(name) ? seen.at(name) : 0, row.most) << "tag " << int(name);
    }
    EXPECT_GE(reader.status("reads"), 100u) << "read all the while";
}

INSTANTIATE_TEST_SUITE_P(All, PreCompare, ::testing::Values(
    PreCompareCase{"flush_time_1s_sends_again_each_second", true, 2300, 2, 3},
    PreCompareCase{"no_flush_time_sends_once", false, 1500, 1, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TagOutput, TimingOutputSendsEachTagReadOnceAnInterval)
{
    // Three tags read every 10 ms round, a timing output every second.
    TaggedReader reader({tag(kA, "* 100"), tag(kB, "* 100"), tag(kC, "* 100")},
                        {{130, {0x10}}, {129, {1}}, {68, {1}}, {69, {0, 1}}});
    Fd link(reader.connectTcp());
    reader.startReading(2);
    EXPECT_TRUE(receiveFor(link.get(), 800).empty()) << "nothing before the first interval ends";
    const auto seen = framesByTag(receiveFor(link.get(), 1800));
    EXPECT_EQ(seen, (std::map<uint8_t, int>{{kA, 2}, {kB, 2}, {kC, 2}}));
}

struct MaskCase {
    const char* name;
    uint8_t antennas;
    uint8_t protocols;
    std::set<uint8_t> read;
};

class Masks : public ::testing::TestWithParam<MaskCase> {};

// Tag A on antenna 1, B on antenna 2, C seen by every antenna.
TEST_P(Masks, OnlyTagsOnAWorkAntennaInAReadProtocolAreSent)
{
    TaggedReader reader({tag(kA, "1 20"), tag(kB, "2 20"), tag(kC, "* 20")},
                        {{130, {0x10}}, {129, {5}}, {153, {GetParam().antennas}}, {98, {GetParam().protocols}}});
    Fd link(reader.connectTcp());
    reader.startReading(2);
    std::set<uint8_t> read;
    for (const auto& [name, frames] : framesByTag(receiveFor(link.get(), 800)))
        read.insert(name);
    EXPECT_EQ(read, GetParam().read);
}

INSTANTIATE_TEST_SUITE_P(All, Masks, ::testing::Values(
    MaskCase{"antenna_2", 0x02, 0x04, {kB, kC}},
    MaskCase{"antenna_1", 0x01, 0x04, {kA, kC}},
    MaskCase{"no_gen2_epc", 0x0F, 0x40, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// A listening socket of the test's own on port (0: any free one), with a
// small receive buffer so that a server that does not read is soon full.
int listenOn(uint16_t port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    const int small = 4096;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    sockaddr_in address = loopback(port);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 1) != 0)
        throw std::runtime_error("cannot listen on loopback");
    return fd;
}

uint16_t portOf(int fd)
{
    sockaddr_in address{};
    socklen_t size = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    return ntohs(address.sin_port);
}

// The connection readersim makes within ms, or -1.
int acceptWithin(int listenFd, int ms)
{
    pollfd p{listenFd, POLLIN, 0};
    return ::poll(&p, 1, ms) == 1 ? ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC) : -1;
}

TEST(TagOutput, ClientModeReconnectsToItsServerAndDropsWhatItCannotSend)
{
    uint16_t port = 0;
    {
        Fd probe(listenOn(0));
        port = portOf(probe.get());
    }   // nobody listens there now: the server is away
    // 100 random tags read every 10 ms round: 10,000 frames a second for the server.
    TaggedReader reader({}, {{3, {3}}, {26, {127, 0, 0, 1}}, {30, {uint8_t(port >> 8), uint8_t(port)}},
                             {130, {0x10}}, {129, {1}}},
                        {"--tag-count", "100", "--tag-rate", "100"});
    reader.startReading(2);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_NE(reader.control("status").find("server=waiting"), std::string::npos);
    const uint64_t droppedWhileAway = reader.status("dropped");
    EXPECT_GT(droppedWhileAway, 0u);

    Fd server(listenOn(port));
    Fd neverReads(acceptWithin(server.get(), 5000));
    ASSERT_GE(neverReads.get(), 0) << "readersim came back within its 3 s";
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const uint64_t droppedOnceConnected = reader.status("dropped");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_GT(reader.status("dropped"), droppedOnceConnected) << "a server that does not read loses frames";
    const auto asked = Clock::now();
    EXPECT_EQ(readParameter(reader.pty(), 100, 1), Bytes{1});
    EXPECT_LT(Clock::now() - asked, std::chrono::milliseconds(200)) << "answers do not wait for the server";
    framesByTag(receiveFor(neverReads.get(), 200), true);   // what it took are whole frames

    ::shutdown(neverReads.get(), SHUT_RDWR);   // the server goes away, mid-frame as likely as not
    Fd again(acceptWithin(server.get(), 5000));
    ASSERT_GE(again.get(), 0) << "readersim reconnects";
    const Bytes bytes = receiveFor(again.get(), 300);
    EXPECT_GT(bytes.size(), 100 * kFrameSize);
    framesByTag(bytes, true);
}

} // namespace tag_output_test
