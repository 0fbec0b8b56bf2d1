// A readersim serving a range of addresses: each reader its own memory, state
// file, work queue and faults, none of them reaching another; control commands
// name their reader; a range the open-file limit cannot hold is refused.
#include "ControlCommands.h"
#include "ReaderFleet.h"
#include "SimClient.h"
#include "SimProcess.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/wait.h>

namespace {

using proto::Command;
using proto::ReaderStatus;
using Bytes = std::vector<uint8_t>;

// Three readers, 127.5.0.1 to 127.5.0.3, on a port of their own.
const std::string kFleet = "127.5.0.1-127.5.0.3:0";
std::string readerAt(int n)
{
    return "127.5.0." + std::to_string(n);
}

struct FaultCase {
    std::string name;
    std::vector<std::string> fault;
    // Whether the reader behaves as the fault says (faulty) or as a reader without it.
    std::function<bool(SimClient& client, bool faulty)> shows;
};

class FleetFaults : public ::testing::TestWithParam<FaultCase> {};

// The fault is the middle reader's alone: the readers beside it answer as ever.
TEST_P(FleetFaults, ActOnTheirReaderOnly)
{
    std::vector<std::string> args = {"--tcp", kFleet, "--faults-on", readerAt(2)};
    args.insert(args.end(), GetParam().fault.begin(), GetParam().fault.end());
    SimProcess fleet(args);
    for (int n = 1; n <= 3; ++n) {
        auto client = SimClient::overTcp(fleet.tcpPort(), readerAt(n));
        EXPECT_TRUE(GetParam().shows(client, n == 2)) << "reader " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(All, FleetFaults, ::testing::Values(
    FaultCase{"silent", {"--silent"}, [](SimClient& client, bool faulty) {
        client.send(Command::GetFirmwareVersion);
        return client.receive(300).has_value() != faulty;
    }},
    FaultCase{"refused_read", {"--fail-read", "208"}, [](SimClient& client, bool faulty) {
        const auto answer = client.call(Command::GetParameter, {208, 1});
        return answer && answer->status == static_cast<uint8_t>(faulty ? ReaderStatus::Failed : ReaderStatus::Ok);
    }},
    FaultCase{"dropped", {"--drop-after", "1"}, [](SimClient& client, bool faulty) {
        return client.call(Command::GetFirmwareVersion) && client.closedByPeer(300) == faulty;
    }}),
    [](const auto& info) { return info.param.name; });

// A reader that takes 400 ms a request holds four of them for 1.6 s; its
// neighbour's one request still takes its own 400 ms.
TEST(Fleet, OneReadersWorkHoldsBackNoOther)
{
    SimProcess fleet({"--tcp", kFleet, "--work-ms", "400"});
    auto busy = SimClient::overTcp(fleet.tcpPort(), readerAt(1));
    auto other = SimClient::overTcp(fleet.tcpPort(), readerAt(2));
    for (int i = 0; i < 4; ++i)
        busy.send(Command::GetFirmwareVersion);
    other.send(Command::GetFirmwareVersion);
    EXPECT_TRUE(other.receive(1200).has_value()) << "waited behind the other reader's requests";
}

// A write reaches its reader's memory and its state file, FILE.ADDRESS, and no
// other; a read sent right behind it waits for the save and sees it.
TEST(Fleet, EachReaderKeepsItsOwnMemoryAndStateFile)
{
    TempFolder folder;
    const std::string state = folder.file("reader.mem");
    {
        SimProcess fleet({"--tcp", kFleet, "--state", state});
        auto second = SimClient::overTcp(fleet.tcpPort(), readerAt(2));
        second.send(Command::SetParameter, {208, 1, 4});
        second.send(Command::GetParameter, {208, 1});
        const auto written = second.receive();
        const auto read = second.receive();
        ASSERT_TRUE(written && read);
        EXPECT_EQ(written->status, static_cast<uint8_t>(ReaderStatus::Ok));
        EXPECT_EQ(read->payload, (Bytes{208, 1, 4})) << "the read was answered before the write was kept";
        for (int n = 1; n <= 3; ++n) {
            auto client = SimClient::overTcp(fleet.tcpPort(), readerAt(n));
            EXPECT_EQ(readParameter(client, 208, 1), Bytes{uint8_t(n == 2 ? 4 : 15)}) << "reader " << n;
        }
    }
    EXPECT_TRUE(std::filesystem::exists(state + "." + readerAt(2)));
    EXPECT_FALSE(std::filesystem::exists(state + "." + readerAt(1))) << "a reader never written saved a file";
    SimProcess again({"--tcp", kFleet, "--state", state});
    auto second = SimClient::overTcp(again.tcpPort(), readerAt(2));
    EXPECT_EQ(readParameter(second, 208, 1), Bytes{4});
}

struct ControlCase {
    std::string line;
    std::string answer;                  // what the answer begins with
    std::optional<std::size_t> worked;   // the reader it acted on
};

// A fleet's commands name their reader by its address; a single reader needs none.
TEST(Fleet, ControlCommandsNameTheirReader)
{
    const sim::ParsedOptions parsed = sim::parseOptions({"--tcp", kFleet});
    ASSERT_EQ(parsed.error, "");
    std::string error;
    auto fleet = sim::makeFleet(parsed.options, error);
    ASSERT_TRUE(fleet.has_value()) << error;
    const std::vector<ControlCase> cases = {
        {"status 127.5.0.2", "reading=no", 1},
        {"trigger 1 on 127.5.0.3", "ok", 2},
        {"status", "error: which reader? end the command with its address (127.5.0.1 to 127.5.0.3)", {}},
        {"trigger 1 on", "error: which reader?", {}},
        {"status 127.5.0.4", "error: 127.5.0.4 is no reader here (127.5.0.1 to 127.5.0.3)", {}},
        {"status 127.5.0.2:4001", "error: '127.5.0.2:4001' is no reader's address", {}},
    };
    for (const ControlCase& row : cases) {
        std::optional<std::size_t> worked;
        const std::string answer = sim::controlCommand(*fleet, row.line, sim::SimReader::Clock::now(), worked);
        EXPECT_EQ(answer.substr(0, row.answer.size()), row.answer) << row.line;
        EXPECT_EQ(worked, row.worked) << row.line;
    }
    auto single = sim::makeFleet(sim::parseOptions({}).options, error);
    ASSERT_TRUE(single.has_value()) << error;
    std::optional<std::size_t> worked;
    EXPECT_EQ(sim::controlCommand(*single, "status", sim::SimReader::Clock::now(), worked).substr(0, 10), "reading=no");
}

// More readers than the hard limit of open files can hold do not start, and say why.
TEST(Fleet, RangeBeyondTheOpenFileLimitIsRefused)
{
    TempFolder folder;
    const std::string errors = folder.file("errors.txt");
    const std::string command = "ulimit -n 200 && exec " + std::string(READERSIM_PATH)
                              + " --tcp 127.5.1.0/24:0 </dev/null >/dev/null 2>" + errors;
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    std::ifstream text(errors);
    const std::string message((std::istreambuf_iterator<char>(text)), {});
    EXPECT_NE(message.find("254 readers need 286 open files"), std::string::npos) << message;
}

} // namespace
