#include "ControlCommands.h"

#include "PortName.h"
#include "Words.h"

namespace sim {

namespace {

// The reader named by the word after a command's arguments (w.size() == arguments + 2),
// else the only one; nothing, with the error line, when none fits.
std::optional<std::size_t> namedReader(const std::vector<FleetReader>& fleet, const std::vector<std::string_view>& w,
                                       std::size_t arguments, std::string& error)
{
    const uint32_t first = fleet.front().address;
    const std::string served = fleet.size() == 1 ? ports::dotted(first)
                                                 : ports::dotted(first) + " to " + ports::dotted(fleet.back().address);
    if (w.size() < arguments + 2) {
        if (fleet.size() == 1)
            return 0;
        error = "error: which reader? end the command with its address (" + served + ")";
        return std::nullopt;
    }
    const auto address = ports::tcpAddress(w.back());
    if (!address || address->port) {
        error = "error: '" + std::string(w.back()) + "' is no reader's address";
        return std::nullopt;
    }
    if (address->address < first || address->address - first >= fleet.size()) {
        error = "error: " + ports::dotted(address->address) + " is no reader here (" + served + ")";
        return std::nullopt;
    }
    return address->address - first;
}

} // namespace

std::string controlCommand(std::vector<FleetReader>& fleet, std::string_view line, SimReader::Clock::time_point now,
                           std::optional<std::size_t>& worked)
{
    const auto w = words(line);
    if (w.empty())
        return {};
    std::string error;
    if (w[0] == "status" && w.size() <= 2) {
        worked = namedReader(fleet, w, 0, error);
        return worked ? fleet[*worked].reader->status() : error;
    }
    if (w[0] == "trigger") {
        if (w.size() < 3 || w.size() > 4 || w[1].size() != 1 || w[1][0] < '1' || w[1][0] > '4'
            || (w[2] != "on" && w[2] != "off"))
            return "error: trigger N on|off, with N from 1 to 4";
        worked = namedReader(fleet, w, 2, error);
        if (!worked)
            return error;
        fleet[*worked].reader->setTriggerInput(static_cast<unsigned>(w[1][0] - '0'), w[2] == "on", now);
        return "ok";
    }
    return "error: unknown command '" + std::string(line) + "' (trigger N on|off, status)";
}

} // namespace sim
