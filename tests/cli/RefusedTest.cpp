// A profile that is refused sends nothing: the reader's state file stays as it
// was, the message names the file, the line and the entry, the exit status is 2.
#include "CliFixture.h"

namespace {

// Valid entries first: a tool that wrote as it read would have sent them.
const std::string validStart = "format = 1\n[antenna_power]\nchannel1_power = 20\nchannel2_power = 20\n";

// "a.a.a ... a": a key of many parts, which the TOML parser meets recursively.
std::string manyParts(int count)
{
    std::string key = "a";
    for (int i = 1; i < count; ++i)
        key += ".a";
    return key;
}

struct Refused {
    const char* what;
    std::string text;
    std::string where;   // "file:line: name" fragment, after the profile's path

    friend void PrintTo(const Refused& r, std::ostream* out) { *out << r.what; }
};

class RefusedTest : public CliFixture, public testing::WithParamInterface<Refused> {};

TEST_P(RefusedTest, writesNothing)
{
    startReader();
    // A first, accepted write makes the state file.
    writeText(file("good.toml"), "format = 1\n[io_parameter]\nbuzzer = false\n");
    ASSERT_EQ(runTool({"write", file("good.toml"), "--port", "COM1"}).status, exit_status::ok);
    const std::string before = fileText(stateFile(1));
    ASSERT_EQ(before.size(), 256u);

    const std::string profile = file("site.toml");
    writeText(profile, GetParam().text);
    const CliRun write = runTool({"write", profile, "--port", "COM1"});
    EXPECT_EQ(write.status, exit_status::refused) << GetParam().what;
    EXPECT_NE(write.err.find("nothing sent: " + profile + GetParam().where), std::string::npos) << write.err;
    EXPECT_EQ(fileText(stateFile(1)), before) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(EveryKind, RefusedTest, testing::Values(
    Refused{"syntax error", validStart + "channel3_power = = 20\n", ":5: "},
    Refused{"wrong version", "format = 3\n[antenna_power]\nchannel1_power = 20\n", ":1: format: "},
    Refused{"no version", "[antenna_power]\nchannel1_power = 20\n", ":1: format: missing"},
    Refused{"unknown name", validStart + "channel5_power = 20\n", ":5: antenna_power.channel5_power: "},
    Refused{"unknown page", validStart + "[antennas]\nwork_antennas = []\n", ":5: antennas: "},
    Refused{"out of range", validStart + "[frequency]\nstart_frequency = 96500\n",
            ":6: frequency.start_frequency: 96500 is out of range 86000 to 96000"},
    Refused{"unknown bit", validStart + "work_antennas = [\"antenna9\"]\n", ":5: antenna_power.work_antennas: "},
    Refused{"not hexadecimal", validStart + "[frame_format]\nend_code = \"0D0X\"\n", ":6: frame_format.end_code: "},
    Refused{"table header of 100,000 parts", validStart + "[" + manyParts(100000) + "]\n",
            ":5: a key of more than 16 parts"},
    Refused{"dotted key of 100,000 parts", validStart + "reader." + manyParts(100000) + " = 1\n",
            ":5: a key of more than 16 parts"},
    Refused{"over the size bound", validStart + "#" + std::string(1024 * 1024, 'x') + "\n",
            ": larger than 1048576 bytes"}));

class CommandLineTest : public CliFixture {};

TEST_F(CommandLineTest, badCommandLinesAreRefusedWithUsage)
{
    struct Case {
        std::vector<std::string> args;
        std::string says;
    };
    const std::vector<Case> cases = {
        {{}, "no command given"},
        {{"copy"}, "unknown command copy"},
        {{"write", "p.toml"}, "no reader given: give --port, --ports-from or --site"},
        {{"read", "--port", "COM1", "--port", "COM2"}, "give one --port"},
        {{"read", "--port", "COM1", "--station", "11"}, "--station 11: not 1 .. 10 or any"},
        {{"diff", "a.toml"}, "PROFILE: At least 2 required"},
        {{"verify", "p.toml", "--port", "COM1", "--output", "x"}, "not expected: x --output"},
    };
    for (const Case& c : cases) {
        const CliRun run = runTool(c.args);
        EXPECT_EQ(run.status, exit_status::refused) << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    }
}

// Every --port is judged, as the library judges its port texts, before anything
// is sent: a bad one, or one reader named twice, refuses the command while a
// good reader stands by untouched.
TEST_F(CommandLineTest, portArgumentsAreJudgedBeforeAnythingIsSent)
{
    ::unsetenv("READER_TCP_PORT");
    const SimProcess& reader = startReader();
    writeText(file("good.toml"), "format = 1\n[io_parameter]\nbuzzer = false\n");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"COM9"}, "--port COM9: not COM1 .. COM8"},
        {{"tcp:999.1.1.1"}, "--port tcp:999.1.1.1: not"},
        {{"tcp:1.2.3"}, "--port tcp:1.2.3: not"},
        {{"tcp:127.0.0.1:99999"}, "--port tcp:127.0.0.1:99999: not"},
        {{"tcp:127.0.0.1:0"}, "--port tcp:127.0.0.1:0: not"},
        {{"tcp:reader.local:5000"}, "--port tcp:reader.local:5000: not"},
        {{"tcp:127.0.0.1 "}, "--port tcp:127.0.0.1 : not"},
        {{"com1"}, "given twice"},
        {{"tcp:127.0.0.1", "TCP:127.000.0.1"}, "given twice"},
        {{"tcp:127.0.0.1", "tcp:127.0.0.1:4001"}, "given twice"},
        // READER_COM2 leads to COM1's device through a link.
        {{"COM2"}, "--port COM2 leads to the device of --port COM1"},
    };
    std::filesystem::create_symlink(reader.ptyPath(), file("COM1-link"));
    ::setenv("READER_COM2", file("COM1-link").c_str(), 1);
    for (const auto& [ports, says] : cases) {
        std::vector<std::string> args = {"write", file("good.toml"), "--port", "COM1"};
        for (const std::string& port : ports)
            args.insert(args.end(), {"--port", port});
        const CliRun run = runTool(args);
        EXPECT_EQ(run.status, exit_status::refused) << ports.back();
        EXPECT_NE(run.err.find(says), std::string::npos) << run.err;
    }
    ::unsetenv("READER_COM2");
    EXPECT_FALSE(std::filesystem::exists(stateFile(1))) << "a reader was written next to a refused --port";

    // A port of its own in the address reaches a reader that listens elsewhere than 4001.
    const std::string port = "tcp:127.0.0.1:" + std::to_string(reader.tcpPort());
    const CliRun write = runTool({"write", file("good.toml"), "--port", port, "--port", "tcp:127.0.0.1:1"});
    EXPECT_NE(write.out.find(port + "  ok"), std::string::npos) << write.out << write.err;
    EXPECT_TRUE(std::filesystem::exists(stateFile(1)));
}

// A name from the command line or the file system reaches standard error and
// standard output escaped, as a profile's own text does: an escape sequence
// never drives the terminal, a line break never splits a line.
TEST_F(CommandLineTest, namesFromOutsideArePrintedEscaped)
{
    startReader();
    writeText(file("good.toml"), "format = 1\n[io_parameter]\nbuzzer = false\n");
    writeText(file("a\nb.toml"), "format = 1\n[io_parameter]\nbuzzer = true\n");
    struct Case {
        std::vector<std::string> args;
        std::string says;   // on standard output or standard error
    };
    const std::vector<Case> cases = {
        {{"\x1b[31mcopy"}, "unknown command \\x1B[31mcopy"},
        {{"write", file("good.toml"), "--port", "COM1\x1b[2J"}, "--port COM1\\x1B[2J: not"},
        {{"read", "--port", "COM1", "--station", "1\n2"}, "--station 1\\n2: not"},
        {{"verify", file("good.toml"), "--port", "COM1", "\x1b[2J"}, "\\x1B[2J"},
        {{"write", file("gone\x1b]0;x\a.toml"), "--port", "COM1"},
         "nothing sent: " + file("gone\\x1B]0;x\\x07.toml") + ": cannot be read"},
        {{"diff", file("a\nb.toml"), file("good.toml")}, "true (" + file("a\\nb.toml") + ") -> false ("},
        {{"read", "--port", "COM1", "-o", file("no\x1b[1mfolder/site.toml")},
         "cannot write " + file("no\\x1B[1mfolder/site.toml") + ": No such file or directory"},
    };
    for (const Case& c : cases) {
        const CliRun run = runTool(c.args);
        const std::string printed = run.out + run.err;
        EXPECT_NE(printed.find(c.says), std::string::npos) << printed;
        EXPECT_EQ(printed.find('\x1b'), std::string::npos) << printed;
        EXPECT_EQ(printed.find(file("a\nb")), std::string::npos) << printed;
    }
}

TEST_F(CommandLineTest, everyCommandHasHelp)
{
    for (const std::string command : {"read", "write", "verify", "diff", "scan"}) {
        const CliRun run = runTool({command, "--help"});
        EXPECT_EQ(run.status, exit_status::ok);
        EXPECT_NE(run.out.find("usage: tagdesk-cli " + command), std::string::npos) << run.out;
    }
    EXPECT_EQ(runTool({"--help"}).status, exit_status::ok);
}

} // namespace
