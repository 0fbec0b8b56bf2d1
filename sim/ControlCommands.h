// The commands of the control socket, for working a reader while it runs:
//   trigger N on|off [ADDRESS]   trigger input N (1 to 4) goes active or inactive
//   status [ADDRESS]             one line: reading, reads, sent, dropped, server
// ADDRESS names the reader of a fleet by its TCP address; a readersim of one
// reader needs none. Each answers one line ("ok", the status, or
// "error: ..."); a blank line answers nothing.
#pragma once

#include "SimReader.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace sim {

// The reader at address (none given: the only one), or nullptr with the reason in error.
using FindReader = std::function<SimReader*(std::optional<uint32_t> address, std::string& error)>;

std::string controlCommand(const FindReader& find, std::string_view line, SimReader::Clock::time_point now);

} // namespace sim
