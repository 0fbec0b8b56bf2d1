// tagdesk-cli's command line (CLI11): the commands, their options and the help
// written from them; every --port and --station judged before anything is sent.
#pragma once

#include "PortArgument.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

// A command line that is good to run.
struct Arguments {
    std::string command;                 // "read", "write", "verify", "diff", "scan" or "monitor"
    std::vector<std::string> profiles;   // write, verify, monitor --profile: one; diff: two
    std::vector<PortArgument> ports;     // every reader named, in the order given; scan: every address of a range
    std::optional<uint8_t> station;      // --station: 1..10 or READER_STATION_ANY; none when not given
    std::string output;                  // read --output; empty: standard output
    std::size_t parallel = 0;            // --parallel: readers at once at most; 0 when not given
    bool verify = false;                 // write --verify
    bool json = false;                   // --json: JSON Lines on standard output
    std::optional<ports::TcpAddress> listen;   // monitor --listen: where readers in client mode connect
    std::optional<PortArgument> formatReader;  // monitor --format-from-reader: the reader read for its frame format
    bool summaryOnly = false;            // monitor --summary: no line a read, the table at the end
    std::optional<double> duration;      // monitor --duration: seconds
};

// The stations a reader may be set to are 1..lastStation.
inline constexpr uint8_t lastStation = 10;

// The longest monitor --duration, in seconds: some thirty years.
inline constexpr long longestDuration = 1'000'000'000;

// Addresses one scan may look at: a /16 network.
inline constexpr std::size_t scanAddressLimit = 65536;

struct CommandLine {
    std::optional<Arguments> arguments;  // none: nothing to run, end with status
    int status = 0;
};

// args without the program name. Help and version go to out, a refused
// command line (status 2) is said on err.
CommandLine parseCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
