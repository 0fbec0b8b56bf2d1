// Per-reader values (--site): a CSV file whose header names a column "port"
// and one column a parameter, by its profile name ("ip_address" where no other
// page has that name, or "communication_port.ip_address"); then a row a
// reader, its port as --port names one reader, its values as a person writes
// them (a list's items apart by blanks). An empty cell gives that reader no
// value of its own. Each row's values go to its reader on top of the shared
// profile, its own identity among them.
#pragma once

#include "PortArgument.h"
#include "Profile.h"

#include <string>
#include <string_view>
#include <vector>

struct SiteRow {
    PortArgument port;
    int line = 0;
    Profile values;   // entries with their line
};

struct Site {
    std::vector<SiteRow> rows;   // in the file's order

    // The row of reader (by one spelling per reader, so COM3 finds com3), or nullptr.
    const SiteRow* rowOf(const PortArgument& reader) const;
};

// A site file is at most as large as a profile.
inline constexpr std::size_t siteSizeLimit = 1024 * 1024;

// Reads a site file's text; file names it in messages. Throws ProfileError
// with every fault found (file, line, column, reason): a header without
// "port" or naming a column twice, an unknown parameter (with the names it may
// have meant), a row of another number of cells, a port that names no one
// reader or a reader of an earlier row, a value the parameter does not take,
// and a MAC address, IP address or reader number given to two readers.
Site parseSite(std::string_view text, const std::string& file);

// Throws ProfileError naming every row that, on top of shared, would leave its
// reader on a channel outside the frequency plan (ChannelPlan.h).
void checkChannelPlans(const Site& site, const Profile& shared, const std::string& file);
