// The readers one readersim serves, made from its options: one, or one at
// each address of a range in --tcp. Each has its own parameter memory (and
// state file), tag field and faults; they share nothing but the event loop.
#pragma once

#include "SimOptions.h"
#include "SimReader.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sim {

struct FleetReader {
    uint32_t address = 0;    // its TCP address, host byte order
    bool faulty = true;      // the fault options act on it
    std::string stateFile;   // empty: none; else its writes wait to be saved there (ReaderState::saveLater)
    std::unique_ptr<SimReader> reader;
};

// The state file of the reader at address: --state's FILE for one reader,
// FILE.ADDRESS for each of a range ("reader.mem.127.0.1.5"); empty without --state.
std::string stateFileOf(const SimOptions& options, uint32_t address);

// Every reader, its state file locked and loaded; nothing, with the reason in
// error, when a state file is in use or unreadable, or the tag file is refused.
std::optional<std::vector<FleetReader>> makeFleet(const SimOptions& options, std::string& error);

} // namespace sim
