// Eight readers written at once, one of them silent: the other seven take the
// profile, the summary names the silent one, the exit status says so. A write
// a reader refuses is named, and the rest still go out.
#include "CliFixture.h"

#include "Reader.h"

#include <regex>

namespace {

const std::string profileText = "format = 1\n[antenna_power]\nchannel1_power = 22\nwork_antennas = [\"antenna2\"]\n"
                                "[frequency]\nstart_frequency = 91000\nfrequency_points = 10\nchannel_mode = 7\n";

class FleetTest : public CliFixture {};

TEST_F(FleetTest, sevenOfEightTakeTheProfileAndTheSilentOneIsNamed)
{
    constexpr int silent = 5;
    std::vector<std::string> args = {"write", file("site.toml")};
    for (int n = 1; n <= 8; ++n) {
        startReader(n == silent ? std::vector<std::string>{"--silent"} : std::vector<std::string>{});
        args.insert(args.end(), {"--port", "COM" + std::to_string(n)});
    }
    writeText(file("site.toml"), profileText);

    const CliRun write = runTool(args);
    EXPECT_EQ(write.status, exit_status::failed);
    for (int n = 1; n <= 8; ++n) {
        const std::string port = "COM" + std::to_string(n);
        const std::regex row("(^|\n)" + port + " +" + (n == silent ? "FAILED +- +no answer from the reader"
                                                                   : "ok +5/5") + "\n");
        EXPECT_TRUE(std::regex_search(write.out, row)) << port << "\n" << write.out;
        // One progress line per reader at least, on standard error.
        EXPECT_NE(write.err.find(port + ": "), std::string::npos) << write.err;
        if (n == silent)
            continue;
        const std::string state = fileText(stateFile(n));
        ASSERT_EQ(state.size(), 256u) << port;
        EXPECT_EQ(uint8_t(state[192]), 4) << port;                     // 22 dBm
        EXPECT_EQ(uint8_t(state[80]) * 256 + uint8_t(state[81]), 5000) << port;
        EXPECT_EQ(uint8_t(state[160]), 7) << port;
    }
    EXPECT_NE(write.out.find("7 of 8 readers ok"), std::string::npos) << write.out;
    EXPECT_FALSE(std::filesystem::exists(stateFile(silent)));
}

TEST_F(FleetTest, aRefusedWriteIsNamedAndTheRestGoOut)
{
    startReader({"--fail-write", "153"});
    writeText(file("site.toml"), profileText);
    const CliRun write = runTool({"write", file("site.toml"), "--port", "COM1"});
    EXPECT_EQ(write.status, exit_status::failed);
    EXPECT_NE(write.out.find("COM1  FAILED  4/5       antenna_power.work_antennas: the reader refused"),
              std::string::npos) << write.out;
    EXPECT_NE(write.err.find("COM1: antenna_power.work_antennas: the reader refused"), std::string::npos);
    EXPECT_EQ(uint8_t(fileText(stateFile(1))[192]), 4);
}

TEST_F(FleetTest, theOffLineSwitchGoesThroughItsOwnCall)
{
    startReader();
    writeText(file("site.toml"), "format = 1\n[reader]\noffline_function = true\noffline_interval = 300\n");
    const CliRun write = runTool({"write", file("site.toml"), "--port", "COM1", "--verify"});
    EXPECT_EQ(write.status, exit_status::ok) << write.out << write.err;
    EXPECT_EQ(uint8_t(fileText(stateFile(1))[87]), 1);
}

// A code shorter than its field goes out with the bytes that end it, and verify
// compares the whole field: after AABBCCDD, "01" must leave 01 FF FF FF, and a
// reader left holding 01 BB CC DD (one byte written) does not hold "01".
TEST_F(FleetTest, aShortCodeIsWrittenWithTheBytesThatEndIt)
{
    startReader();
    uint32_t handle = 0;
    ASSERT_EQ(OpenReader(&handle, READER_PORT_SERIAL, "COM1"), READER_OK);
    const uint8_t code[] = {0x01, 0xBB, 0xCC, 0xDD};
    ASSERT_EQ(SetParameter(handle, 72, 4, code), READER_OK);
    CloseReader(handle);
    writeText(file("site.toml"), "format = 1\n[frame_format]\npreamble_code = \"01\"\n");

    const CliRun before = runTool({"verify", file("site.toml"), "--port", "COM1"});
    EXPECT_EQ(before.status, exit_status::failed) << before.out;
    ASSERT_EQ(runTool({"write", file("site.toml"), "--port", "COM1", "--verify"}).status, exit_status::ok);
    EXPECT_EQ(fileText(stateFile(1)).substr(72, 4), "\x01\xFF\xFF\xFF");
}

} // namespace
