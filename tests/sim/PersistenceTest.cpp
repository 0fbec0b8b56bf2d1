// readersim with --state: an acknowledged write survives a kill -9.
#include "SimClient.h"
#include "SimProcess.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>

namespace {

using proto::ReaderStatus;
using Bytes = std::vector<uint8_t>;

TEST(Persistence, AcknowledgedWritesSurviveKill9)
{
    TempFolder folder;
    const std::string state = folder.file("reader.state");
    {
        SimProcess sim({"--no-pty", "--state", state});
        auto client = SimClient::overTcp(sim.tcpPort());
        ASSERT_EQ(writeParameter(client, 208, {7}), ReaderStatus::Ok);
        ASSERT_EQ(writeParameter(client, 12, {10, 1, 2, 3}), ReaderStatus::Ok);
        const auto offLine = client.call(proto::Command::SetOffLineEnable, {1});
        ASSERT_TRUE(offLine && offLine->status == 0);
        // Killed the moment the last acknowledgement is in: no chance to flush anything.
        sim.kill(SIGKILL);
        ASSERT_TRUE(WIFSIGNALED(sim.waitStatus()));
    }
    SimProcess again({"--no-pty", "--state", state});
    auto client = SimClient::overTcp(again.tcpPort());
    EXPECT_EQ(readParameter(client, 208, 1), Bytes{7});
    EXPECT_EQ(readParameter(client, 12, 4), (Bytes{10, 1, 2, 3}));
    EXPECT_EQ(readParameter(client, 87, 1), Bytes{1});
    EXPECT_EQ(readParameter(client, 192, 1), Bytes{15}) << "untouched addresses keep their defaults";
}

TEST(Persistence, RefusedWriteIsNotStored)
{
    TempFolder folder;
    const std::string state = folder.file("reader.state");
    {
        SimProcess sim({"--no-pty", "--state", state, "--fail-write", "208"});
        auto client = SimClient::overTcp(sim.tcpPort());
        ASSERT_EQ(writeParameter(client, 192, {4}), ReaderStatus::Ok);
        ASSERT_EQ(writeParameter(client, 208, {4}), ReaderStatus::Failed);
        ASSERT_EQ(writeParameter(client, 87, {1}), ReaderStatus::ReadOnly);
        sim.kill(SIGKILL);
    }
    SimProcess again({"--no-pty", "--state", state});
    auto client = SimClient::overTcp(again.tcpPort());
    EXPECT_EQ(readParameter(client, 192, 1), Bytes{4});
    EXPECT_EQ(readParameter(client, 208, 1), Bytes{15});
    EXPECT_EQ(readParameter(client, 87, 1), Bytes{0});
}

TEST(Persistence, WriteThatCannotBeSavedIsRefused)
{
    TempFolder folder;
    SimProcess sim({"--no-pty", "--state", folder.file("missing-folder/reader.state")});
    auto client = SimClient::overTcp(sim.tcpPort());
    EXPECT_EQ(writeParameter(client, 208, {3}), ReaderStatus::Failed);
    EXPECT_EQ(readParameter(client, 208, 1), Bytes{15});
}

TEST(Persistence, ForeignFileIsNeitherLoadedNorOverwritten)
{
    TempFolder folder;
    const std::string state = folder.file("notes.txt");
    const std::string text = "not a reader state\n";
    std::ofstream(state) << text;
    EXPECT_THROW(SimProcess({"--no-pty", "--state", state}), std::runtime_error);
    EXPECT_EQ(std::filesystem::file_size(state), text.size());
}

} // namespace
