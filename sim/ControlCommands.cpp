#include "ControlCommands.h"

#include "Words.h"

namespace sim {

std::string controlCommand(SimReader& reader, std::string_view line, SimReader::Clock::time_point now)
{
    const auto w = words(line);
    if (w.empty())
        return {};
    if (w[0] == "status" && w.size() == 1)
        return reader.status();
    if (w[0] == "trigger") {
        if (w.size() != 3 || w[1].size() != 1 || w[1][0] < '1' || w[1][0] > '4' || (w[2] != "on" && w[2] != "off"))
            return "error: trigger N on|off, with N from 1 to 4";
        reader.setTriggerInput(static_cast<unsigned>(w[1][0] - '0'), w[2] == "on", now);
        return "ok";
    }
    return "error: unknown command '" + std::string(line) + "' (trigger N on|off, status)";
}

} // namespace sim
