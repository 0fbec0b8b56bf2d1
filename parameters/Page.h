// The groups of parameters, one for each page of the window that has query and
// setup routines, and the table that names each: its stable key (the profile's
// table) and its title. A group is its enumerator and its row, nothing more.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

enum class Page : uint8_t {
    Reader,             // the "Reader" tab: its inner pages "Work Mode" and "Other Function"
    AntennaPower,
    Frequency,
    SupportedProtocol,
    CommunicationPort,
    FrameFormat,
    IoParameter,
};

struct PageKey {
    Page page;
    const char* key;     // the profile's table name
    const char* title;   // the page's caption in the window
};

// One row a group, in the order of the enumerators, which profiles keep their
// tables in; the compiler counts the rows.
inline constexpr std::array pageKeys{
    PageKey{Page::Reader, "reader", "Work Mode / Other Function"},
    PageKey{Page::AntennaPower, "antenna_power", "Antenna  Power"},
    PageKey{Page::Frequency, "frequency", "Frequency"},
    PageKey{Page::SupportedProtocol, "supported_protocol", "Supported Protocol"},
    PageKey{Page::CommunicationPort, "communication_port", "Communication Port"},
    PageKey{Page::FrameFormat, "frame_format", "Frame Format"},
    PageKey{Page::IoParameter, "io_parameter", "I/O Parameter"},
};

namespace page_detail {
constexpr bool rowsInOrder()
{
    for (std::size_t i = 0; i < pageKeys.size(); ++i)
        if (pageKeys[i].page != Page(i))
            return false;
    return true;
}
} // namespace page_detail

static_assert(page_detail::rowsInOrder(), "row i of pageKeys must name the group of enumerator i");

// Whether page has its row (a group added without one has none).
constexpr bool hasPageKey(Page page)
{
    return std::size_t(page) < pageKeys.size();
}
