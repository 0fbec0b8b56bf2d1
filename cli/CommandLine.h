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
    // Every reader named by --port and --ports-from, in the order given, a range
    // as its addresses; none when a site file names them. scan: every port to look at.
    std::vector<PortArgument> ports;
    std::string site;                    // --site: the site file, "-" for standard input; "" when none
    std::optional<uint8_t> station;      // --station: 1..10 or READER_STATION_ANY; none when not given
    std::string output;                  // read --output; empty: standard output
    std::size_t parallel = 0;            // --parallel: readers at once at most; 0 when not given
    bool verify = false;                 // write --verify
    bool onlyDiffering = false;          // write --only-differing
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

// Addresses one command may name, through ranges or a port list: a /16 network.
inline constexpr std::size_t portLimit = 65536;

struct CommandLine {
    std::optional<Arguments> arguments;  // none: nothing to run, end with status
    int status = 0;
};

// args without the program name. Help and version go to out, a refused
// command line (status 2) is said on err. "--ports-from -" reads in.
CommandLine parseCommandLine(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                             std::ostream& err);
