// One reader's settings copied to another: read into a profile, written,
// verified, and the two readers' memories equal wherever the profile reaches.
#include "CliFixture.h"

#include "ParaTable.h"
#include "Reader.h"

#include <csignal>
#include <sys/resource.h>

namespace {

struct Setting {
    uint8_t address;
    std::vector<uint8_t> bytes;
};

// Values none of them readersim's own, so a copy that missed one would show.
const std::vector<Setting> otherValues = {
    {192, {10}}, {208, {5}}, {153, {0x0A}}, {154, {0x09}},          // powers, antenna masks
    {80, {0x17, 0x20}}, {82, {25}}, {83, {16}},                      // plan: 91920, step 250 kHz, 16 channels
    {160, {3}}, {161, {40}}, {162, {0x0F, 0, 0, 0, 0, 0, 0}},       // fixed on channel 3, hop set 1..4
    {128, {3}}, {145, {0x0A}}, {148, {0x01, 0x2C}},                  // triggering, triggers 2 and 4, flush 300 s
    {72, {0xAA, 0xBB, 0xCC, 0xDD}}, {12, {10, 0, 0, 9}}, {24, {0x13, 0x89}},
    {6, {0x02, 0x11, 0x22, 0x33, 0x44, 0x55}}, {180, {0xA1, 0xB2, 0xC3, 0, 0, 0}}, {100, {7}},
};

void setOtherValues()
{
    uint32_t handle = 0;
    ASSERT_EQ(OpenReader(&handle, READER_PORT_SERIAL, "COM1"), READER_OK);
    for (const Setting& setting : otherValues)
        ASSERT_EQ(SetParameter(handle, setting.address, uint8_t(setting.bytes.size()), setting.bytes.data()), READER_OK)
            << int(setting.address);
    ASSERT_EQ(SetOLEnable(handle, 1), READER_OK);
    CloseReader(handle);
}

class CopyTest : public CliFixture {};

TEST_F(CopyTest, aProfileReadFromOneReaderMakesAnotherHoldTheSame)
{
    startReader();
    startReader();
    setOtherValues();
    const std::string profile = file("site.toml");

    const CliRun read = runTool({"read", "--port", "COM1", "--output", profile});
    ASSERT_EQ(read.status, exit_status::ok) << read.err;
    EXPECT_NE(fileText(profile).find("start_frequency = 91920"), std::string::npos) << fileText(profile);
    EXPECT_NE(fileText(profile).find("channel1_power = \"27.5\""), std::string::npos);

    // Before the copy the second reader differs, and verify says where.
    const CliRun before = runTool({"verify", profile, "--port", "COM2"});
    EXPECT_EQ(before.status, exit_status::failed);
    EXPECT_NE(before.out.find("COM2: antenna_power.channel1_power: profile \"27.5\", reader \"30\""), std::string::npos)
        << before.out;
    EXPECT_NE(before.out.find("COM2: reader.offline_function: profile true, reader false"), std::string::npos);

    const CliRun write = runTool({"write", profile, "--port", "COM2", "--verify"});
    ASSERT_EQ(write.status, exit_status::ok) << write.out << write.err;
    EXPECT_NE(write.out.find("COM2  ok      " + allDone(sharedValues)
                             + "     kept its own mac_address, ip_address, reader_number"),
              std::string::npos) << write.out;

    const CliRun after = runTool({"verify", profile, "--port", "COM2"});
    EXPECT_EQ(after.status, exit_status::ok) << after.out;

    // Byte for byte where the profile reaches: every parameter of the table
    // but the second reader's own, which it keeps.
    const std::string first = fileText(stateFile(1));
    const std::string second = fileText(stateFile(2));
    ASSERT_EQ(first.size(), 256u);
    ASSERT_EQ(second.size(), 256u);
    for (const Para& para : paraTable)
        EXPECT_EQ(first.substr(para.address, para.readLength) == second.substr(para.address, para.readLength),
                  !para.readersOwn) << para.name;

    // And the second reader read back gives the same profile, its own values apart.
    const CliRun readBack = runTool({"read", "--port", "COM2", "--output", file("back.toml")});
    ASSERT_EQ(readBack.status, exit_status::ok);
    const CliRun diff = runTool({"diff", profile, file("back.toml")});
    EXPECT_EQ(diff.status, exit_status::ok) << diff.out;
    EXPECT_NE(diff.out.find("communication_port.ip_address: \"10.0.0.9\" (" + profile + ") -> \"192.168.1.200\""),
              std::string::npos) << diff.out;
}

// A profile saved with --output is there whole or not at all: a write cut short
// (here by a file size limit of 2 KB) leaves the old file as it was, not a
// shorter profile that still loads. A symbolic link keeps pointing at the profile.
TEST_F(CopyTest, anOutputCutShortLeavesTheOldFile)
{
    startReader();
    const std::string old = "format = 1\n[io_parameter]\nbuzzer = true\n";
    writeText(file("site.toml"), old);
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit small{2048, limit.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &small);
    const CliRun cut = runTool({"read", "--port", "COM1", "--output", file("site.toml")});
    ::setrlimit(RLIMIT_FSIZE, &limit);
    EXPECT_EQ(cut.status, exit_status::failed);
    EXPECT_EQ(fileText(file("site.toml")), old);

    std::filesystem::create_symlink(file("site.toml"), file("link.toml"));
    ASSERT_EQ(runTool({"read", "--port", "COM1", "--output", file("link.toml")}).status, exit_status::ok);
    EXPECT_TRUE(std::filesystem::is_symlink(file("link.toml")));
    EXPECT_NE(fileText(file("site.toml")).find("start_frequency = 92000"), std::string::npos);
}

TEST_F(CopyTest, anOutputOfADashIsStandardOutput)
{
    startReader();
    const CliRun read = runTool({"read", "--port", "COM1", "-o", "-"});
    EXPECT_EQ(read.status, exit_status::ok) << read.err;
    EXPECT_NE(read.out.find("\nformat = 1\n"), std::string::npos) << read.out;
    EXPECT_FALSE(std::filesystem::exists("-"));
}

// What read saves must load, and what write accepts must leave a reader that
// read can save: a channel mode without a point count meets the reader's own
// plan (20 channels here), and a reader put on channel 30 another way is named.
TEST_F(CopyTest, aChannelOutsideThePlanIsNeitherWrittenNorSaved)
{
    startReader();
    writeText(file("fixed.toml"), "format = 1\n[frequency]\nchannel_mode = 30\n");
    const CliRun write = runTool({"write", file("fixed.toml"), "--port", "COM1"});
    EXPECT_EQ(write.status, exit_status::failed);
    EXPECT_NE(write.out.find("frequency.channel_mode: fixed on channel 30 of a plan of 20 channels"), std::string::npos)
        << write.out;
    EXPECT_FALSE(std::filesystem::exists(stateFile(1))) << "something was sent";

    uint32_t handle = 0;
    ASSERT_EQ(OpenReader(&handle, READER_PORT_SERIAL, "COM1"), READER_OK);
    const uint8_t channel = 30;
    ASSERT_EQ(SetParameter(handle, 160, 1, &channel), READER_OK);
    CloseReader(handle);
    const CliRun read = runTool({"read", "--port", "COM1"});
    EXPECT_EQ(read.status, exit_status::failed);
    EXPECT_NE(read.err.find("frequency.channel_mode: cannot be saved: fixed on channel 30"), std::string::npos)
        << read.err;
}

TEST_F(CopyTest, aReaderThatCannotGiveEveryValueGivesNoProfile)
{
    startReader({"--fail-read", "208"});
    const CliRun read = runTool({"read", "--port", "COM1"});
    EXPECT_EQ(read.status, exit_status::failed);
    EXPECT_TRUE(read.out.empty()) << read.out;
    EXPECT_NE(read.err.find("COM1: antenna_power.channel2_power: the reader refused"), std::string::npos) << read.err;
}

TEST_F(CopyTest, diffListsEveryDifference)
{
    writeText(file("a.toml"), "format = 1\n[antenna_power]\nchannel1_power = 30\n[io_parameter]\nbuzzer = true\n");
    writeText(file("b.toml"), "format = 1\n[antenna_power]\nchannel1_power = 27.5\n");
    const CliRun diff = runTool({"diff", file("a.toml"), file("b.toml")});
    EXPECT_EQ(diff.status, exit_status::failed);
    EXPECT_NE(diff.out.find("io_parameter.buzzer: true (" + file("a.toml") + ") -> (absent)"), std::string::npos)
        << diff.out;
    EXPECT_NE(diff.out.find("antenna_power.channel1_power: \"30\""), std::string::npos) << diff.out;
}

// --json on a real run of each command: one object a reader (or a difference)
// a line, then the summary. Run in order: the write's outcome is what verify finds.
TEST_F(CopyTest, jsonLinesSayWhatEachReaderGaveTookAndHolds)
{
    startReader();
    startReader({"--fail-write", "153"});
    // A buzzer byte of 2 reads as off, as the profile's false does: verify shows the byte itself.
    uint32_t handle = 0;
    ASSERT_EQ(OpenReader(&handle, READER_PORT_SERIAL, "COM1"), READER_OK);
    const uint8_t two = 2;
    ASSERT_EQ(SetParameter(handle, 101, 1, &two), READER_OK);
    CloseReader(handle);
    const std::string site = file("site.toml");
    writeText(site, "format = 1\n[antenna_power]\nchannel1_power = 22\nwork_antennas = [\"antenna2\"]\n");
    writeText(file("other.toml"), "format = 1\n[antenna_power]\nchannel1_power = 22\n[io_parameter]\nbuzzer = false\n");
    const Json noProblem = Json::array();
    const std::vector<JsonRun> runs = {
        {{"read", "--json", "--port", "COM1"}, exit_status::ok,
         {{{"type", "reader"}, {"port", "COM1"}, {"result", "ok"}, {"total", everyValue}, {"done", everyValue},
           {"profile", {{"format", 1}, {"antenna_power", {{"channel1_power", "30"}, {"work_antennas", {"antenna1"}}}},
                        {"frequency", {{"start_frequency", 92000}, {"channel_mode", 0}}}}}},
          {{"type", "summary"}, {"command", "read"}, {"readers", 1}, {"ok", 1}}}},
        {{"write", site, "--json", "--port", "COM1", "--port", "COM2", "--port", "tcp:127.0.0.1:1"},
         exit_status::failed,
         {{{"port", "COM1"}, {"result", "ok"}, {"done", 2}, {"total", 2}, {"failures", noProblem},
           {"not_sent", noProblem}},
          {{"port", "COM2"}, {"result", "failed"}, {"done", 1},
           {"failures", {{{"name", "antenna_power.work_antennas"}, {"reason", "the reader refused"}}}}},
          {{"port", "tcp:127.0.0.1:1"}, {"result", "failed"}, {"reached", false},
           {"reason", "connection refused"}},
          {{"type", "summary"}, {"command", "write"}, {"readers", 3}, {"ok", 1}, {"failed", 2}, {"interrupted", 0}}}},
        {{"verify", site, "--json", "--port", "COM1", "--port", "COM2"}, exit_status::failed,
         {{{"port", "COM1"}, {"result", "ok"}, {"differences", noProblem}},
          {{"port", "COM2"}, {"result", "failed"}, {"done", 1},
           {"differences", {{{"name", "antenna_power.work_antennas"}, {"profile", {"antenna2"}},
                             {"reader", {"antenna1"}}}}}},
          {{"type", "summary"}, {"command", "verify"}, {"ok", 1}, {"failed", 1}}}},
        {{"verify", file("other.toml"), "--json", "--port", "COM1", "--port", "COM2"}, exit_status::failed,
         {{{"port", "COM1"}, {"differences", {{{"name", "io_parameter.buzzer"}, {"profile", false},
                                               {"reader", {{"bytes", "02"}}}}}}},
          {{"port", "COM2"}, {"differences", {{{"name", "io_parameter.buzzer"}, {"profile", false}, {"reader", true}}}}},
          {{"type", "summary"}, {"ok", 0}, {"failed", 2}}}},
        {{"diff", "--json", site, file("other.toml")}, exit_status::failed,
         {{{"type", "difference"}, {"name", "io_parameter.buzzer"}, {"left", nullptr}, {"right", false}},
          {{"type", "difference"}, {"name", "antenna_power.work_antennas"}, {"left", {"antenna2"}}, {"right", nullptr}},
          {{"type", "summary"}, {"command", "diff"}, {"differences", 2}}}},
    };
    for (const JsonRun& run : runs)
        expectJsonRun(run);
}

TEST_F(CopyTest, aValueNoProfileCouldWriteAgainIsNamedNotSaved)
{
    startReader();
    uint32_t handle = 0;
    ASSERT_EQ(OpenReader(&handle, READER_PORT_SERIAL, "COM1"), READER_OK);
    const uint8_t interval = 0;   // Wiegand interval: 1 to 10
    ASSERT_EQ(SetParameter(handle, 139, 1, &interval), READER_OK);
    CloseReader(handle);
    const CliRun read = runTool({"read", "--port", "COM1"});
    EXPECT_EQ(read.status, exit_status::failed);
    EXPECT_TRUE(read.out.empty());
    EXPECT_NE(read.err.find("communication_port.wiegand_interval: cannot be saved: 0 is out of range 1 to 10"),
              std::string::npos) << read.err;
}

} // namespace
