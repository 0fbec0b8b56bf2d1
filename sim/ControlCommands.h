// The commands of the control socket, for working a reader while it runs:
//   trigger N on|off [ADDRESS]   trigger input N (1 to 4) goes active or inactive
//   status [ADDRESS]             one line: reading, reads, sent, dropped, server
// ADDRESS names the reader of a fleet by its TCP address; a readersim of one
// reader needs none. Each answers one line ("ok", the status, or
// "error: ..."); a blank line answers nothing.
#pragma once

#include "ReaderFleet.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// Carries out line on the reader it names; worked is then that reader's place in fleet.
std::string controlCommand(std::vector<FleetReader>& fleet, std::string_view line, SimReader::Clock::time_point now,
                           std::optional<std::size_t>& worked);

} // namespace sim
