// Each reader's own MAC address, IP address and reader number: a profile of
// one reader copied to nineteen others leaves each its own, the reader's own
// profile restores them, a site file gives each reader the values of its row,
// and a site file giving two readers one value is refused with nothing sent.
// What each readersim holds is read from its memory (its state file).
#include "CliFixture.h"

#include "Reader.h"

#include <functional>

namespace {

constexpr int readers = 20;

Json with(Json object, const Json& more)
{
    object.update(more);
    return object;
}

struct Identity {
    std::string mac;   // the six bytes of parameter 6
    std::string ip;    // the four of 12
    uint8_t number;    // 100
};

// Reader n's own: MAC 02:00:00:00:00:n, IP 10.0.0.n, reader number n.
Identity own(int n)
{
    return {std::string("\x02\0\0\0\0", 5) + char(n), std::string("\x0A\0\0", 3) + char(n), uint8_t(n)};
}

// What the site file below gives reader n (3..5).
Identity fromSite(int n)
{
    return {own(n).mac, std::string("\xC0\xA8\x05", 3) + char(n), uint8_t(100 + n)};
}

// The readers are reached over TCP: the command line names COM1 .. COM8 alone.
std::vector<std::string> ports(readers + 1);

void setParameter(int n, uint8_t address, const std::string& bytes)
{
    uint32_t handle = 0;
    ASSERT_EQ(OpenReader(&handle, READER_PORT_TCP, ports[n].substr(4).c_str()), READER_OK);
    EXPECT_EQ(SetParameter(handle, address, uint8_t(bytes.size()), reinterpret_cast<const uint8_t*>(bytes.data())),
              READER_OK);
    CloseReader(handle);
}

void give(int n, const Identity& identity)
{
    setParameter(n, 6, identity.mac);
    setParameter(n, 12, identity.ip);
    setParameter(n, 100, std::string(1, char(identity.number)));
}

// The summary's row of port, its blanks run together: "tcp:127.0.0.1:4001 ok 61/61 kept its own ...".
std::string rowOf(const std::string& out, const std::string& port)
{
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(port + " ", 0) != 0)
            continue;
        std::string row;
        for (const char c : line)
            if (c != ' ' || (!row.empty() && row.back() != ' '))
                row += c;
        return row;
    }
    return {};
}

struct IdentityCase {
    const char* what;
    std::function<void()> before;           // what the operator did to the readers first
    std::vector<std::string> args;          // after "write" and the profile
    std::string site;                       // the site file's text, "" for none
    int status;
    std::function<Identity(int n)> holds;   // what reader n holds afterwards
    int reader;                             // whose summary row ...
    std::string row;                        // ... holds this; "" for none
    std::string says;                       // on standard error
};

class IdentityTest : public CliFixture {};

TEST_F(IdentityTest, eachReaderKeepsItsOwnUnlessGivenOnPurpose)
{
    std::vector<std::string> others;
    for (int n = 1; n <= readers; ++n) {
        ports[n] = "tcp:127.0.0.1:" + std::to_string(startReader().tcpPort());
        give(n, own(n));
        if (n > 1)
            others.insert(others.end(), {"--port", ports[n]});
    }
    setParameter(1, 192, "\x0A");   // channel 1 at 27.5 dBm: a value every copy takes
    const std::string profile = file("reader1.toml");
    ASSERT_EQ(runTool({"read", "--port", ports[1], "-o", profile}).status, exit_status::ok);
    const auto siteRow = [](int n, const std::string& port) {
        return port + "," + "192.168.5." + std::to_string(n) + "," + std::to_string(100 + n) + "\n";
    };
    std::string upper = ports[4];
    upper.replace(0, 3, "TCP");   // the same reader in other letters

    const std::vector<IdentityCase> cases = {
        {"a copy to nineteen others", {}, others, "", exit_status::ok, own,
         20, "ok " + allDone(sharedValues) + " kept its own mac_address, ip_address, reader_number", ""},
        {"the reader's own profile, after its addresses were changed",
         [] { give(1, {own(1).mac, own(7).ip, 7}); }, {"--port", ports[1]}, "", exit_status::ok, own,
         1, "ok " + allDone(everyValue), ""},
        {"a site file naming its readers", {}, {},
         "port,ip_address,reader_number\n" + siteRow(3, ports[3]) + siteRow(4, upper) + "\"" + ports[5]
             + "\", 192.168.5.5 ,105\n",
         exit_status::ok, [](int n) { return n >= 3 && n <= 5 ? fromSite(n) : own(n); },
         3, "ok " + allDone(everyValue - 1) + " kept its own mac_address", ""},   // all but the MAC address
        {"a site file giving two readers one address, with a misspelt column",
         [] {
             for (int n = 3; n <= 5; ++n)
                 give(n, own(n));
         },
         {"--port", ports[3], "--port", ports[6]},
         "port,ip_adress,reader_number,ip_address\n" + ports[3] + ",,9,10.0.0.99\n" + ports[6] + ",,9,10.0.0.99\n",
         exit_status::refused, own, 0, "", "site.csv:1: ip_adress: no parameter of this name; did you mean ip_address?\n"},
    };
    for (const IdentityCase& c : cases) {
        if (c.before)
            c.before();
        std::vector<std::string> args = {"write", profile};
        args.insert(args.end(), c.args.begin(), c.args.end());
        if (!c.site.empty()) {
            writeText(file("site.csv"), c.site);
            args.insert(args.end(), {"--site", file("site.csv")});
        }
        const CliRun run = runTool(args);
        EXPECT_EQ(run.status, c.status) << c.what << "\n" << run.out << run.err;
        if (c.reader > 0)
            EXPECT_EQ(rowOf(run.out, ports[c.reader]), ports[c.reader] + " " + c.row) << c.what << "\n" << run.out;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << c.what << "\n" << run.err;
        for (int n = 1; n <= readers; ++n) {
            const std::string memory = fileText(stateFile(n));
            ASSERT_EQ(memory.size(), 256u) << c.what;
            const Identity expected = c.holds(n);
            EXPECT_EQ(memory.substr(6, 6), expected.mac) << c.what << ": reader " << n;
            EXPECT_EQ(memory.substr(12, 4), expected.ip) << c.what << ": reader " << n;
            EXPECT_EQ(uint8_t(memory[100]), expected.number) << c.what << ": reader " << n;
            EXPECT_EQ(uint8_t(memory[192]), 10) << c.what << ": reader " << n << " took the profile's power";
        }
    }
    // The clash names both values the two readers would share.
    const CliRun clash = runTool({"write", profile, "--site", file("site.csv")});
    EXPECT_NE(clash.err.find("site.csv:3: communication_port.reader_number: 9 is given to " + ports[3]
                             + " on line 2 as well"), std::string::npos) << clash.err;
    EXPECT_NE(clash.err.find("site.csv:3: communication_port.ip_address: \"10.0.0.99\" is given to " + ports[3]),
              std::string::npos) << clash.err;
}

// For programs: what each parameter is and what it would be, the reader's own
// values kept among them, from verify and write alike.
TEST_F(IdentityTest, jsonSaysWhatEachValueIsAndWouldBe)
{
    ports[1] = "tcp:127.0.0.1:" + std::to_string(startReader().tcpPort());
    ports[2] = "tcp:127.0.0.1:" + std::to_string(startReader().tcpPort());
    give(1, own(1));
    give(2, own(2));
    writeText(file("p.toml"), "format = 1\n[communication_port]\nmac_address = \"020000000001\"\n"
                              "ip_address = \"10.0.0.1\"\n[antenna_power]\nchannel1_power = 22\n");
    writeText(file("site.csv"), "port,reader_number\n" + ports[2] + ",42\n");
    const Json keptIp = {{"name", "communication_port.ip_address"}, {"source", "kept"}, {"profile", "10.0.0.1"},
                         {"value", "10.0.0.2"}, {"reader", "10.0.0.2"}, {"result", "kept"}};
    const Json siteNumber = {{"name", "communication_port.reader_number"}, {"source", "site"}, {"profile", nullptr},
                             {"value", 42}};
    const Json power = {{"name", "antenna_power.channel1_power"}, {"source", "profile"}, {"value", "22"}};
    const Json copy = {{"restored", false},
                       {"kept", {"communication_port.mac_address", "communication_port.ip_address"}}};
    const std::vector<JsonRun> runs = {
        {{"verify", file("p.toml"), "--json", "--port", ports[1], "--port", ports[2], "--site", file("site.csv")},
         exit_status::failed,
         {{{"port", ports[1]}, {"identity", {{"restored", true}}}, {"differences", {{{"name", "antenna_power.channel1_power"}}}},
           {"values", {{{"name", "communication_port.mac_address"}, {"result", "agrees"}},
                       {{"name", "communication_port.ip_address"}, {"result", "agrees"}},
                       {{"name", "antenna_power.channel1_power"}, {"reader", "30"}, {"result", "differs"}}}}},
          {{"port", ports[2]}, {"identity", copy}, {"total", 2},
           {"values", {{{"source", "kept"}}, keptIp, with(siteNumber, {{"reader", 2}, {"result", "differs"}}),
                       with(power, {{"reader", "30"}})}}},
          {{"type", "summary"}, {"command", "verify"}}}},
        {{"write", file("p.toml"), "--json", "--port", ports[2], "--site", file("site.csv")}, exit_status::ok,
         {{{"port", ports[2]}, {"identity", copy}, {"done", 2},
           {"values", {{{"source", "kept"}}, keptIp, with(siteNumber, {{"reader", nullptr}, {"result", "written"}}),
                       with(power, {{"result", "written"}})}}},
          {{"type", "summary"}, {"command", "write"}, {"ok", 1}}}},
    };
    for (const JsonRun& run : runs)
        expectJsonRun(run);
    EXPECT_EQ(uint8_t(fileText(stateFile(2))[100]), 42);
    EXPECT_EQ(fileText(stateFile(2)).substr(12, 4), own(2).ip);
}

} // namespace
