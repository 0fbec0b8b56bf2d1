// The tab pages that have query and setup routines. Each parameter belongs to
// one of them, and "Query Para" / "Setup Para" run the routines of the one showing.
#pragma once

#include <cstdint>

enum class Page : uint8_t {
    None,               // no page with routines: nothing runs, nothing is logged
    Reader,             // "Work Mode" and "Other Function": one routine looks at the inner page itself
    AntennaPower,
    Frequency,
    SupportedProtocol,
    CommunicationPort,
    FrameFormat,
    IoParameter,
};
