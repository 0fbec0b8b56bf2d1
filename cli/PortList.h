// The readers of --ports-from: one port a line as --port takes it, or the
// JSON Lines `tagdesk-cli scan --json` prints, whose reader lines name the
// ports it found. Blank lines, lines starting with #, and other JSON lines
// without a port (scan's summary) name none.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct ListedPort {
    std::string text;   // as --port would take it
    int line = 0;
};

struct PortList {
    std::vector<ListedPort> ports;
    std::vector<std::string> faults;   // "3: neither a port nor a JSON object"
};

PortList portListOf(std::string_view text);

// The longest port list read: a JSON line for each of 65536 readers.
inline constexpr std::size_t portListSizeLimit = 16 * 1024 * 1024;
