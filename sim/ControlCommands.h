// The commands of the control socket, for working a reader while it runs:
//   trigger N on|off   trigger input N (1 to 4) goes active or inactive
//   status             one line: reading, reads, sent, dropped, server
// Each answers one line ("ok", the status, or "error: ..."); a blank line
// answers nothing.
#pragma once

#include "SimReader.h"

#include <string>
#include <string_view>

namespace sim {

std::string controlCommand(SimReader& reader, std::string_view line, SimReader::Clock::time_point now);

} // namespace sim
