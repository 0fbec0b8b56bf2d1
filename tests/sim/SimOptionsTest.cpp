// The command line: accepted forms fill the options, everything else is refused.
#include "SimOptions.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Args = std::vector<std::string>;

struct Accepted {
    std::string name;
    Args args;
    std::function<bool(const sim::SimOptions&)> holds;
};

class SimOptionsAccepted : public ::testing::TestWithParam<Accepted> {};

TEST_P(SimOptionsAccepted, FillsTheOptions)
{
    const auto parsed = sim::parseOptions(GetParam().args);
    ASSERT_EQ(parsed.error, "");
    EXPECT_TRUE(GetParam().holds(parsed.options));
}

INSTANTIATE_TEST_SUITE_P(All, SimOptionsAccepted, ::testing::Values(
    Accepted{"defaults", {}, [](const auto& o) {
        return o.serveTcp && o.servePty && o.tcpHost == "127.0.0.1" && o.tcpPort == 4001
            && o.identity.station == 1 && o.identity.firmware == sim::FirmwareVersion{1, 4, 0, 6}
            && !o.silent && !o.garbage && o.delayMs == 0 && o.dropAfter == 0 && o.stateFile.empty()
            && o.idleSeconds == 30;
    }},
    Accepted{"tcp_any_port", {"--tcp", "127.0.0.1:0"}, [](const auto& o) { return o.tcpPort == 0; }},
    Accepted{"tcp_other_host", {"--tcp", "0.0.0.0:5000"}, [](const auto& o) {
        return o.tcpHost == "0.0.0.0" && o.tcpPort == 5000;
    }},
    Accepted{"no_pty", {"--no-pty"}, [](const auto& o) { return o.serveTcp && !o.servePty; }},
    Accepted{"no_tcp", {"--no-tcp"}, [](const auto& o) { return !o.serveTcp && o.servePty; }},
    Accepted{"station_10", {"--station", "10"}, [](const auto& o) { return o.identity.station == 10; }},
    Accepted{"firmware", {"--firmware", "2.0.13.255"}, [](const auto& o) {
        return o.identity.firmware == sim::FirmwareVersion{2, 0, 13, 255};
    }},
    Accepted{"fail_lists", {"--fail-read", "208,153", "--fail-write", "0,255"}, [](const auto& o) {
        return o.refused.reads == std::set<uint8_t>{153, 208} && o.refused.writes == std::set<uint8_t>{0, 255};
    }},
    Accepted{"fault_switches", {"--silent", "--garbage", "--delay-ms", "250", "--drop-after", "3"},
             [](const auto& o) { return o.silent && o.garbage && o.delayMs == 250 && o.dropAfter == 3; }},
    // As SimProcess does: its own --tcp first, a test's after it.
    Accepted{"given_twice_the_last_counts", {"--tcp", "127.0.0.1:0", "--tcp", "127.0.1.7:5000"}, [](const auto& o) {
        return o.tcpHost == "127.0.1.7" && o.tcpPort == 5000;
    }},
    Accepted{"lists_given_twice_add_up", {"--fail-read", "208", "--fail-read", "153,7"}, [](const auto& o) {
        return o.refused.reads == std::set<uint8_t>{7, 153, 208};
    }},
    Accepted{"idle_clients_kept", {"--idle-timeout", "0"}, [](const auto& o) { return o.idleSeconds == 0; }},
    Accepted{"files", {"--state", "/tmp/r.state", "--pty-link", "/tmp/ttyReader"}, [](const auto& o) {
        return o.stateFile == "/tmp/r.state" && o.ptyLink == "/tmp/ttyReader";
    }},
    // A range: its network's hosts, as tagdesk-cli scan counts them, and no pseudo-terminal.
    Accepted{"tcp_network", {"--tcp", "127.0.1.0/30:0"}, [](const auto& o) {
        return o.tcpRange && o.tcpHost == "127.0.1.1" && o.tcpReaders == 2 && o.tcpPort == 0 && !o.servePty;
    }},
    Accepted{"tcp_first_last", {"--tcp", "127.0.1.250-127.0.2.3:4001"}, [](const auto& o) {
        return o.tcpRange && o.tcpHost == "127.0.1.250" && o.tcpReaders == 10 && o.tcpPort == 4001;
    }},
    Accepted{"faults_on_part_of_the_range", {"--tcp", "127.0.1.1-127.0.1.9:0", "--faults-on", "127.0.1.4/30"},
             [](const auto& o) {
        return o.faultsOn && o.faultsOn->first == 0x7F000105 && o.faultsOn->last == 0x7F000106;
    }}),
    [](const auto& info) { return info.param.name; });

class SimOptionsRefused : public ::testing::TestWithParam<Args> {};

TEST_P(SimOptionsRefused, SaysWhy)
{
    const auto parsed = sim::parseOptions(GetParam());
    EXPECT_NE(parsed.error, "");
}

INSTANTIATE_TEST_SUITE_P(All, SimOptionsRefused, ::testing::Values(
    Args{"--bogus"}, Args{"--tcp"}, Args{"--tcp", "localhost:4001"}, Args{"--tcp", "127.0.0.1"},
    Args{"--tcp", "127.0.0.1:65536"}, Args{"--tcp", "127.0.0.1:-1"}, Args{"--tcp", "127.0.0.1:80x"},
    Args{"--station", "0"}, Args{"--station", "11"}, Args{"--station", "255"}, Args{"--station", " 1"},
    Args{"--firmware", "1.4.0"}, Args{"--firmware", "1.4.0.6.1"}, Args{"--firmware", "1.4.0.256"},
    Args{"--firmware", "1..0.6"}, Args{"--fail-read", "256"}, Args{"--fail-read", "1,,2"},
    Args{"--fail-write", "12,"}, Args{"--fail-write", ""}, Args{"--delay-ms", "-5"},
    Args{"--drop-after", "0"}, Args{"--no-tcp", "--no-pty"}, Args{"--state", ""}, Args{"--idle-timeout", "1s"},
    Args{"--tcp", "127.0.1.9-127.0.1.1:0"}, Args{"--tcp", "10.0.0.0/15:4001"}, Args{"--tcp", "127.0.1.0/24"},
    Args{"--tcp", "127.0.1.0/33:0"}, Args{"--tcp", "127.0.1.0/24:0", "--pty-link", "/tmp/ttyReader"},
    Args{"--tcp", "127.0.1.0/24:0", "--no-tcp"}, Args{"--faults-on", "127.0.0.2"},
    Args{"--faults-on", "127.0.0.1:4001"}, Args{"--no-tcp", "--faults-on", "127.0.0.1"}));

TEST(SimOptions, HelpWinsOverEverythingElse)
{
    const auto parsed = sim::parseOptions({"--help"});
    EXPECT_TRUE(parsed.showHelp);
    EXPECT_EQ(parsed.error, "");
    for (const char* option : {"--tcp", "--pty-link", "--state", "--station", "--firmware", "--fail-read",
                               "--fail-write", "--silent", "--delay-ms", "--work-ms", "--lose-frame", "--garbage",
                               "--drop-after", "--idle-timeout", "--help"})
        EXPECT_NE(sim::usageText().find(option), std::string::npos) << option;
}

} // namespace
