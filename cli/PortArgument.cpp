#include "PortArgument.h"

#include "Reader.h"

#include <algorithm>
#include <cctype>

namespace {
std::string upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}
} // namespace

std::optional<PortArgument> parsePort(const std::string& text)
{
    const std::string name = upper(text);
    if (name.size() == 4 && name.starts_with("COM") && name[3] >= '1' && name[3] <= '8')
        return PortArgument{name, READER_PORT_SERIAL, name};
    if (name == "USB")
        return PortArgument{"usb", READER_PORT_USB, {}};
    // The library checks the address itself; only an empty one is refused here.
    if (name.starts_with("TCP:") && text.size() > 4)
        return PortArgument{text, READER_PORT_TCP, text.substr(4)};
    return std::nullopt;
}
