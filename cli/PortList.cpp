#include "PortList.h"

#include <nlohmann/json.hpp>

namespace {
std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}
} // namespace

PortList portListOf(std::string_view text)
{
    PortList list;
    int number = 0;
    for (std::size_t start = 0; start < text.size(); ) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = trimmed(text.substr(start, end - start));
        start = end + 1;
        ++number;
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() != '{') {
            list.ports.push_back({std::string(line), number});
            continue;
        }
        const nlohmann::json object = nlohmann::json::parse(line, nullptr, false);
        if (!object.is_object()) {
            list.faults.push_back(std::to_string(number) + ": neither a port nor a JSON object");
            continue;
        }
        const auto port = object.find("port");
        if (port == object.end())
            continue;   // scan's summary
        if (!port->is_string()) {
            list.faults.push_back(std::to_string(number) + ": \"port\" is no text");
            continue;
        }
        list.ports.push_back({port->get<std::string>(), number});
    }
    return list;
}
