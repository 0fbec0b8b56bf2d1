// The command line of readersim (CLI11).
#pragma once

#include "ReaderState.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sim {

// The most readers one readersim serves: a /16 network's hosts and a few more.
constexpr std::size_t kMaxReaders = 65536;

// A range of IPv4 addresses, host byte order, both ends included.
struct AddressRange {
    uint32_t first = 0;
    uint32_t last = 0;

    bool holds(uint32_t address) const { return first <= address && address <= last; }
};

struct SimOptions {
    bool serveTcp = true;
    std::string tcpHost = "127.0.0.1";
    uint16_t tcpPort = proto::kDefaultTcpPort;
    // --tcp with a range of addresses: a reader at each, tcpReaders of them
    // from tcpHost on, all on tcpPort, served over TCP only.
    bool tcpRange = false;
    std::size_t tcpReaders = 1;
    // --faults-on: the fault options act on the readers at these addresses
    // only; none: on every reader.
    std::optional<AddressRange> faultsOn;
    bool servePty = true;
    std::string ptyLink;          // empty: no link
    std::string stateFile;        // empty: memory is not kept between runs
    ReaderIdentity identity;
    RefusedAddresses refused;
    bool silent = false;
    unsigned delayMs = 0;
    // The reader's time for one request: it works on one at a time, in the
    // order they come over every connection. 0: at once.
    unsigned workMs = 0;
    unsigned loseFrame = 0;       // each connection's frame of this number gets lost; 0: none
    bool garbage = false;
    unsigned dropAfter = 0;       // 0: never drop
    // With every TCP client slot taken, a client that has sent nothing for this
    // long gives its slot to a connection that waits; 0: never.
    unsigned idleSeconds = 30;
    // The tag field: a tag file, or tagCount random tags from seed (neither: no tags).
    std::string tagFile;
    std::size_t tagCount = 0;
    uint64_t seed = 1;
    double tagRate = 1;           // reads per second of a tag that names none
    std::string controlPath;      // empty: no control socket
};

struct ParsedOptions {
    SimOptions options;
    bool showHelp = false;
    std::string version;          // non-empty: --version asked for this line
    std::string error;            // non-empty: the command line is unusable
};

// args without the program name.
ParsedOptions parseOptions(const std::vector<std::string>& args);
// The TCP addresses of the readers served, from tcpHost on (host byte order).
AddressRange servedAddresses(const SimOptions& options);
// Whether the fault options act on the reader at this address.
bool faultsOnReader(const SimOptions& options, uint32_t address);
// What --help prints, written from the same definitions the parser uses.
std::string usageText();

} // namespace sim
