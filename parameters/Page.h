// The groups of parameters, one for each tab of the window that has query and
// setup routines; profiles keep a table of each (PageKeys.h).
#pragma once

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
