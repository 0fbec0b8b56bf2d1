// Eight readers written at once, one of them silent: the other seven take the
// profile, the summary names the silent one, the exit status says so. A write
// a reader refuses is named, and the rest still go out.
#include "CliFixture.h"

#include "Reader.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <regex>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

const std::string profileText = "format = 1\n[antenna_power]\nchannel1_power = 22\nwork_antennas = [\"antenna2\"]\n"
                                "[frequency]\nstart_frequency = 91000\nfrequency_points = 10\nchannel_mode = 7\n";

// Nine values of one byte each, written in this order (address, byte); each differs from readersim's own.
const std::string nineValuesProfile = "format = 1\n[io_parameter]\nbuzzer = false\nrelay1_delay = 3\n"
                                      "relay2_delay = 3\nrelay3_delay = 3\nrelay4_delay = 3\n[antenna_power]\n"
                                      "channel1_power = 20\nchannel2_power = 20\nchannel3_power = 20\n"
                                      "channel4_power = 20\n";
const std::vector<std::pair<int, uint8_t>> nineValues = {{101, 0}, {155, 3}, {156, 3}, {190, 3}, {191, 3},
                                                         {192, 2}, {208, 2}, {224, 2}, {240, 2}};

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

// A value whose request is lost gets no answer, and so do the next ones while a
// slow reader is still busy: each is sent once more after the others, and the
// reader, which took every value in the end, is not reported as refusing any.
TEST_F(FleetTest, aValueWithNoAnswerIsSentOnceMore)
{
    writeText(file("site.toml"), nineValuesProfile);
    // Frame 1 stops the RF work; frame 4 is the third value. The fast reader keeps
    // no state file: its answers must not wait for the disk, which under load
    // takes longer than the short wait after a lost request (--verify checks it).
    startReader({"--lose-frame", "4"}, false);
    startReader({"--lose-frame", "4", "--work-ms", "100"});

    const CliRun text = runTool({"write", file("site.toml"), "--port", "COM1", "--verify"});
    EXPECT_EQ(text.status, exit_status::ok) << text.out << text.err;
    EXPECT_TRUE(std::regex_search(text.out, std::regex("\nCOM1 +ok +9/9 +1 value needed a second try\n"))) << text.out;
    EXPECT_NE(text.err.find("COM1: 9 of 9 values taken; 1 value needed a second try"), std::string::npos) << text.err;

    const CliRun json = runTool({"write", "--json", file("site.toml"), "--port", "COM2"});
    EXPECT_EQ(json.status, exit_status::ok) << json.out << json.err;
    const std::vector<Json> lines = jsonLines(json.out);
    ASSERT_EQ(lines.size(), 2u) << json.out;
    EXPECT_TRUE(holds(lines[0], {{"port", "COM2"}, {"result", "ok"}, {"done", 9}, {"failures", Json::array()}}))
        << lines[0].dump();
    EXPECT_GE(lines[0].value("second_tries", 0), 2) << "the busy reader's next value had no answer either";

    const std::string state = fileText(stateFile(2));
    ASSERT_EQ(state.size(), 256u);
    for (const auto& [address, byte] : nineValues)
        EXPECT_EQ(uint8_t(state[address]), byte) << "COM2 address " << address;
}

// On a terminal one more line, below the progress lines, keeps count of the
// readers done and failed and of the time, and is gone at the end; elsewhere
// there is none. The summary ends with the time the write took.
TEST_F(FleetTest, aLiveLineOnATerminalOnly)
{
    startReader();
    startReader({"--silent"});
    writeText(file("site.toml"), profileText);
    for (const bool live : {false, true}) {
        const CliRun run = runTool({"write", file("site.toml"), "--port", "COM1", "--port", "COM2"}, "", live);
        const std::size_t last = run.err.rfind("2/2 readers done, 1 failed, ");
        EXPECT_EQ(last != std::string::npos, live) << run.err;
        EXPECT_EQ(run.err.find('\r') != std::string::npos, live) << run.err;
        if (live)
            EXPECT_EQ(run.err.substr(run.err.find_last_not_of(' ')), "\r") << "the live line stays: " << run.err;
        EXPECT_TRUE(std::regex_search(run.out, std::regex("\n1 of 2 readers ok in [0-9]+\\.[0-9]+ s\n$"))) << run.out;
    }
}

// scan on loopback addresses, with readers on two of them sharing one TCP port:
// each found at its station with its firmware, a range without readers gives
// none (exit 1), and ranges it cannot take are refused before any traffic.
TEST_F(FleetTest, scanFindsTheReadersOfARange)
{
    const SimProcess first({"--no-pty", "--tcp", "127.0.1.7:0"});
    const std::string port = std::to_string(first.tcpPort());
    const SimProcess second({"--no-pty", "--tcp", "127.0.1.200:" + port, "--station", "3", "--firmware", "2.0.0.9"});
    const Json firstFound = {{"type", "reader"}, {"port", "tcp:127.0.1.7:" + port}, {"station", 1}, {"firmware", "1.4.0.6"}};
    const Json secondFound = {{"type", "reader"}, {"port", "tcp:127.0.1.200:" + port}, {"station", 3},
                              {"firmware", "2.0.0.9"}};
    const std::vector<JsonRun> runs = {
        {{"scan", "--json", "--port", "tcp:127.0.1.0/24:" + port}, exit_status::ok,
         {firstFound, secondFound, {{"type", "summary"}, {"command", "scan"}, {"ports", 254}, {"found", 2}}}},
        {{"scan", "--json", "--station", "3", "--port", "tcp:127.0.1.190-127.0.1.210:" + port}, exit_status::ok,
         {secondFound, {{"ports", 21}, {"found", 1}}}},
        // A range given twice, or overlapping another, is looked at once.
        {{"scan", "--json", "--station", "any", "--port", "tcp:127.0.1.7:" + port, "--port",
          "tcp:127.0.1.4/30:" + port},
         exit_status::ok, {{{"port", "tcp:127.0.1.7:" + port}, {"station", nullptr}}, {{"ports", 3}, {"found", 1}}}},
        {{"scan", "--json", "--port", "tcp:127.0.2.0/24:" + port}, exit_status::failed, {{{"ports", 254}, {"found", 0}}}},
    };
    for (const JsonRun& run : runs)
        expectJsonRun(run);
    // The scan's short waits were for the scan alone.
    EXPECT_EQ(std::getenv("READER_TIMEOUT_MS"), nullptr);
    EXPECT_EQ(std::getenv("READER_CONNECT_TIMEOUT_MS"), nullptr);

    const CliRun table = runTool({"scan", "--station", "3", "--port", "tcp:127.0.1.200:" + port});
    EXPECT_NE(table.out.find("tcp:127.0.1.200:" + port + "  3        2.0.0.9\n1 reader found on 1 ports"),
              std::string::npos) << table.out;

    const std::vector<std::pair<std::string, std::string>> refused = {
        {"tcp:127.0.0.0/15", "more than 65536 addresses"},
        {"tcp:127.0.0.0/33", "not COM1"},
        {"tcp:127.0.0.9-127.0.0.1", "127.0.0.9 comes after 127.0.0.1"},
        {"tcp:127.0.0.0/24:0", "not COM1"},
        {"tcp:127.0.0.1-127.0.0", "not COM1"},
    };
    for (const auto& [range, says] : refused) {
        const CliRun run = runTool({"scan", "--port", range});
        EXPECT_EQ(run.status, exit_status::refused) << range;
        EXPECT_NE(run.err.find("--port " + range + ": " + says), std::string::npos) << run.err;
    }
}

// A hundred and twenty readers of one readersim (a range of addresses) take the
// profile, give it back on reading, and each keeps it in a state file of its own.
TEST_F(FleetTest, aHundredReadersOfOneReadersimTakeTheProfileAndGiveItBack)
{
    constexpr int readers = 120;
    const SimProcess fleet({"--tcp", "127.0.3.1-127.0.3.120:0", "--state", file("fleet.mem")});
    writeText(file("site.toml"), profileText);
    std::vector<std::string> args = {"write", file("site.toml"), "--verify"};
    for (int n = 1; n <= readers; ++n)
        args.insert(args.end(), {"--port", "tcp:127.0.3." + std::to_string(n) + ":" + std::to_string(fleet.tcpPort())});

    const CliRun write = runTool(args);
    EXPECT_EQ(write.status, exit_status::ok) << write.out << write.err;
    EXPECT_NE(write.out.find("120 of 120 readers ok"), std::string::npos) << write.out;
    for (const int n : {1, 60, 120}) {
        const std::string state = fileText(file("fleet.mem.127.0.3." + std::to_string(n)));
        ASSERT_EQ(state.size(), 256u) << n;
        EXPECT_EQ(uint8_t(state[192]), 4) << n;   // 22 dBm
        EXPECT_EQ(uint8_t(state[160]), 7) << n;
    }

    // Each reader of the fleet is its own on the network: the first one's whole
    // profile copied to the others leaves each its own IP and MAC address.
    const std::string first = "tcp:127.0.3.1:" + std::to_string(fleet.tcpPort());
    ASSERT_EQ(runTool({"read", "--port", first, "--output", file("first.toml")}).status, exit_status::ok);
    args[1] = file("first.toml");
    EXPECT_EQ(runTool(args).status, exit_status::ok);
    for (const int n : {1, 60, 120}) {
        const std::string state = fileText(file("fleet.mem.127.0.3." + std::to_string(n)));
        EXPECT_EQ(state.substr(12, 4), std::string({127, 0, 3, char(n)})) << n;   // IP address
        EXPECT_EQ(uint8_t(state[11]), n) << n;                                      // the MAC's last byte
    }
}

// tagdesk-cli run as a program of its own, to be sent a signal.
class RunningCli {
public:
    explicit RunningCli(std::vector<std::string> args)
    {
        int output[2];
        if (::pipe(output) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, output[0]);
        args.insert(args.begin(), TAGDESK_CLI_PATH);
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        if (::posix_spawn(&pid_, TAGDESK_CLI_PATH, &actions, nullptr, argv.data(), environ) != 0)
            pid_ = 0;
        posix_spawn_file_actions_destroy(&actions);
        ::close(output[1]);
        out_ = output[0];
    }

    bool started() const { return pid_ > 0; }
    void signal(int number) const { ::kill(pid_, number); }

    // Its standard output once it has ended, and how it ended (as waitpid says).
    std::string finish(int& status)
    {
        std::string out;
        char buffer[4096];
        for (ssize_t n; (n = ::read(out_, buffer, sizeof buffer)) > 0;)
            out.append(buffer, std::size_t(n));
        ::close(out_);
        ::waitpid(pid_, &status, 0);
        return out;
    }

private:
    pid_t pid_ = 0;
    int out_ = -1;
};

// SIGINT during a write to two readers: each reader's call in flight ends,
// nothing more is sent, and the summary still comes with each reader marked
// interrupted and the count of what it took, which is what it holds.
TEST_F(FleetTest, anInterruptedWriteStillReportsWhatEachReaderTook)
{
    const auto& values = nineValues;
    writeText(file("site.toml"), nineValuesProfile);
    startReader({"--delay-ms", "100"});
    startReader({"--delay-ms", "100"});
    RunningCli cli({"write", file("site.toml"), "--port", "COM1", "--port", "COM2"});
    ASSERT_TRUE(cli.started());
    std::this_thread::sleep_for(std::chrono::milliseconds(500));   // about three values in
    cli.signal(SIGINT);
    int status = 0;
    const std::string out = cli.finish(status);

    ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal itself";
    EXPECT_EQ(WEXITSTATUS(status), exit_status::interrupted(SIGINT));
    for (int n = 1; n <= 2; ++n) {
        std::smatch row;
        const std::regex pattern("COM" + std::to_string(n) + " +INTERRUPTED +([0-9])/9 +interrupted: ");
        ASSERT_TRUE(std::regex_search(out, row, pattern)) << out;
        const std::size_t taken = std::stoul(row[1]);
        const std::string state = fileText(stateFile(n));
        for (std::size_t i = 0; i < taken; ++i)
            EXPECT_EQ(uint8_t(state.at(values[i].first)), values[i].second) << "COM" << n << " value " << i;
        for (std::size_t i = taken; i < values.size() && !state.empty(); ++i)
            EXPECT_NE(uint8_t(state.at(values[i].first)), values[i].second) << "COM" << n << " value " << i;
    }
}

// SIGINT while the profile is still being read (from a FIFO, so the test knows
// when): the program is already listening, sends nothing, and ends with the
// summary, the reader not started.
TEST_F(FleetTest, aSignalBeforeTheFirstReaderLeavesEveryReaderNotStarted)
{
    startReader();
    const std::string fifo = file("site.toml");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    RunningCli cli({"write", fifo, "--port", "COM1"});
    ASSERT_TRUE(cli.started());
    const int profile = ::open(fifo.c_str(), O_WRONLY);   // returns once tagdesk-cli opens it
    ASSERT_GE(profile, 0);
    cli.signal(SIGINT);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const std::string text = "format = 1\n[io_parameter]\nbuzzer = false\n";
    const auto pipeAction = ::signal(SIGPIPE, SIG_IGN);   // a program the signal ended reads no more
    EXPECT_EQ(::write(profile, text.data(), text.size()), ssize_t(text.size()));
    ::signal(SIGPIPE, pipeAction);
    ::close(profile);
    int status = 0;
    const std::string out = cli.finish(status);

    ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal itself";
    EXPECT_EQ(WEXITSTATUS(status), exit_status::interrupted(SIGINT));
    EXPECT_TRUE(std::regex_search(out, std::regex("COM1 +INTERRUPTED +- +not started"))) << out;
    EXPECT_FALSE(std::filesystem::exists(stateFile(1))) << "something was sent";
}

} // namespace
