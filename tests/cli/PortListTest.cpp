// Many readers without many flags: --port takes the ranges scan takes, and
// --ports-from a list of ports or what scan --json printed, from a file or
// standard input. A list that names something else is refused before any
// reader is sent anything.
#include "CliFixture.h"

namespace {

struct PortListCase {
    const char* what;
    std::vector<std::string> args;   // after "verify PROFILE"; "read" first for a read
    std::string input;               // standard input
    int status;
    std::vector<std::string> readers;   // the ports of the JSON reader lines, in order
    std::string says;                // on standard error, when refused
};

class PortListTest : public CliFixture {};

TEST_F(PortListTest, rangesAndListsNameTheReaders)
{
    const SimProcess first({"--no-pty", "--tcp", "127.0.4.1:0"});
    const std::string port = std::to_string(first.tcpPort());
    const SimProcess second({"--no-pty", "--tcp", "127.0.4.2:" + port});
    const auto at = [&port](int host) { return "tcp:127.0.4." + std::to_string(host) + ":" + port; };
    writeText(file("p.toml"), "format = 1\n[io_parameter]\nbuzzer = true\n");
    writeText(file("list.txt"), "# the dock readers\n\n" + at(2) + "\n  " + at(1) + "  \r\n");
    writeText(file("bad.txt"), at(1) + "\nCOM9\n{\"port\": 7}\n");
    const CliRun scan = runTool({"scan", "--json", "--station", "1", "--port", "tcp:127.0.4.0/29:" + port});
    ASSERT_EQ(scan.status, exit_status::ok) << scan.err;

    const std::vector<PortListCase> cases = {
        {"a range from first to last", {"--port", "tcp:127.0.4.1-127.0.4.3:" + port}, "", exit_status::failed,
         {at(1), at(2), at(3)}, ""},
        {"a network by its prefix", {"--port", "tcp:127.0.4.0/30:" + port}, "", exit_status::ok, {at(1), at(2)}, ""},
        {"scan --json on standard input", {"--ports-from", "-"}, scan.out, exit_status::ok, {at(1), at(2)}, ""},
        {"a list file with a comment and blank lines", {"--ports-from", file("list.txt")}, "", exit_status::ok,
         {at(2), at(1)}, ""},
        {"every bad line of a list at once", {"--ports-from", file("bad.txt")}, "", exit_status::refused, {},
         "--ports-from " + file("bad.txt") + ":2: COM9: not COM1 .. COM8"},
        {"a line that is no port and no JSON", {"--ports-from", "-"}, "{\"port\": \"COM1\"\n", exit_status::refused, {},
         "--ports-from standard input:1: neither a port nor a JSON object"},
        {"a reader in a range and a list", {"--port", at(2), "--ports-from", file("list.txt")}, "",
         exit_status::refused, {}, "names the reader of --port " + at(2)},
        {"the site file and the list both from standard input", {"--ports-from", "-", "--site", "-"}, "",
         exit_status::refused, {}, "standard input (-) can give one file only"},
        {"a read of a range, with --json a profile a reader", {"read", "--port", "tcp:127.0.4.0/30:" + port}, "",
         exit_status::ok, {at(1), at(2)}, ""},
    };
    for (const PortListCase& c : cases) {
        std::vector<std::string> args = c.args;
        if (args.front() != "read")
            args.insert(args.begin(), {"verify", file("p.toml")});
        args.push_back("--json");
        const CliRun run = runTool(args, c.input);
        EXPECT_EQ(run.status, c.status) << c.what << "\n" << run.err;
        std::vector<std::string> readers;
        for (const Json& line : jsonLines(run.out))
            if (line.value("type", "") == "reader")
                readers.push_back(line.value("port", ""));
        EXPECT_EQ(readers, c.readers) << c.what;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << c.what << "\n" << run.err;
    }
    // Every bad line is named, not the first alone.
    const CliRun bad = runTool({"verify", file("p.toml"), "--ports-from", file("bad.txt")});
    EXPECT_NE(bad.err.find(file("bad.txt") + ":3: \"port\" is no text"), std::string::npos) << bad.err;
}

} // namespace
