#include "ControlCommands.h"

#include "PortName.h"
#include "Words.h"

#include <vector>

namespace sim {

namespace {

// The reader the words after a command's own name (its arguments first) leave to name.
SimReader* namedReader(const FindReader& find, const std::vector<std::string_view>& w, std::size_t arguments,
                       std::string& error)
{
    std::optional<uint32_t> address;
    if (w.size() == arguments + 2) {
        const auto parsed = ports::tcpAddress(w.back());
        if (!parsed || parsed->port) {
            error = "error: '" + std::string(w.back()) + "' is no reader's address";
            return nullptr;
        }
        address = parsed->address;
    }
    SimReader* reader = find(address, error);
    if (!reader)
        error = "error: " + error;
    return reader;
}

} // namespace

std::string controlCommand(const FindReader& find, std::string_view line, SimReader::Clock::time_point now)
{
    const auto w = words(line);
    if (w.empty())
        return {};
    std::string error;
    if (w[0] == "status" && w.size() <= 2) {
        const SimReader* reader = namedReader(find, w, 0, error);
        return reader ? reader->status() : error;
    }
    if (w[0] == "trigger") {
        if (w.size() < 3 || w.size() > 4 || w[1].size() != 1 || w[1][0] < '1' || w[1][0] > '4'
            || (w[2] != "on" && w[2] != "off"))
            return "error: trigger N on|off, with N from 1 to 4";
        SimReader* reader = namedReader(find, w, 2, error);
        if (!reader)
            return error;
        reader->setTriggerInput(static_cast<unsigned>(w[1][0] - '0'), w[2] == "on", now);
        return "ok";
    }
    return "error: unknown command '" + std::string(line) + "' (trigger N on|off, status)";
}

} // namespace sim
