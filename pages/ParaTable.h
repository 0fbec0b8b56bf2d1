// Every parameter address the program touches, with its length and the page
// that owns it. Page routines take every length from here, never a literal.
#pragma once

#include "Page.h"

#include <algorithm>
#include <array>
#include <cstdint>

// How a parameter is written.
enum class ParaWrite : uint8_t {
    SetParameter,      // SetParameter with writeMin..writeMax bytes
    OffLineEnable,     // read only to SetParameter; changed through SetOLEnable's one-byte flag
};

struct Para {
    uint8_t address;
    uint8_t readLength;   // bytes GetParameter returns
    uint8_t writeMin;     // fewest bytes a write may carry
    uint8_t writeMax;     // most bytes a write may carry
    Page page;        // never Page::None
    ParaWrite write = ParaWrite::SetParameter;
};

namespace para_detail {
constexpr Para fixed(uint8_t address, uint8_t length, Page page)
{
    return Para{address, length, length, length, page, ParaWrite::SetParameter};
}
// Written with the length of what the operator entered, read back in full.
constexpr Para variable(uint8_t address, uint8_t length, Page page)
{
    return Para{address, length, 1, length, page, ParaWrite::SetParameter};
}
} // namespace para_detail

inline constexpr auto paraTable = [] {
    using enum Page;
    using para_detail::fixed;
    using para_detail::variable;
    return std::array{
        fixed(3, 1, CommunicationPort),    // connection mode (client when bit 0 set)
        fixed(4, 1, CommunicationPort),    // DHCP on/off
        fixed(6, 6, CommunicationPort),    // MAC address
        fixed(12, 4, CommunicationPort),   // IP address
        fixed(16, 4, CommunicationPort),   // subnet mask
        fixed(20, 4, CommunicationPort),   // default gateway
        fixed(24, 2, CommunicationPort),   // port number
        fixed(26, 4, CommunicationPort),   // server IP address (client mode)
        fixed(30, 2, CommunicationPort),   // server port number (client mode)
        fixed(64, 1, FrameFormat),         // data format
        fixed(65, 1, FrameFormat),         // tag ID window (start, length)
        fixed(66, 1, SupportedProtocol),   // Gen 2 TID length
        fixed(68, 1, FrameFormat),         // output mode
        fixed(69, 2, FrameFormat),         // output interval
        fixed(71, 1, FrameFormat),         // frame flags
        variable(72, 4, FrameFormat),      // preamble code
        variable(76, 4, FrameFormat),      // end code
        fixed(80, 2, Frequency),           // start frequency above 86000, units of 10 kHz
        fixed(82, 1, Frequency),           // frequency interval
        fixed(83, 1, Frequency),           // frequency points
        fixed(84, 2, Reader),              // off-line record-saving interval
        Para{87, 1, 1, 1, Reader, ParaWrite::OffLineEnable}, // off-line function on/off
        fixed(98, 1, SupportedProtocol),   // protocol mask
        fixed(100, 1, CommunicationPort),  // reader number
        fixed(101, 1, IoParameter),        // buzzer on/off
        fixed(128, 1, Reader),             // work mode
        fixed(129, 1, Reader),             // timer interval
        fixed(130, 1, FrameFormat),        // output port mask
        fixed(131, 1, CommunicationPort),  // RS-485 baud rate
        fixed(132, 1, CommunicationPort),  // RS-485 protocol
        fixed(133, 1, CommunicationPort),  // ack transfer
        fixed(134, 1, CommunicationPort),  // RS-485 transfer mode
        fixed(135, 1, CommunicationPort),  // Wiegand protocol
        fixed(136, 1, CommunicationPort),  // Wiegand pulse width
        fixed(137, 1, CommunicationPort),  // Wiegand pulse period
        fixed(139, 1, CommunicationPort),  // Wiegand interval
        fixed(140, 1, CommunicationPort),  // ID buffered
        fixed(141, 1, Reader),             // ID pre-compare on/off
        fixed(142, 1, Reader),             // synchronization
        fixed(145, 1, Reader),             // trigger byte
        fixed(146, 1, Reader),             // trigger auto delay off time
        fixed(147, 1, Reader),             // flush time on/off
        fixed(148, 2, Reader),             // flush time
        fixed(150, 1, Reader),             // identification mode
        fixed(153, 1, AntennaPower),       // work antenna mask
        fixed(154, 1, AntennaPower),       // antenna check mask
        fixed(155, 1, IoParameter),        // relay 1 delay time
        fixed(156, 1, IoParameter),        // relay 2 delay time
        fixed(160, 1, Frequency),          // channel mode: 0 hopping, n fixed on channel n
        fixed(161, 1, Frequency),          // hopping interval
        fixed(162, 7, Frequency),          // hopping channel mask
        fixed(178, 1, Reader),             // ID feature match on/off
        fixed(179, 1, Reader),             // ID feature match length
        variable(180, 6, Reader),          // ID feature match value
        fixed(186, 1, IoParameter),        // ID match check interval
        fixed(187, 1, IoParameter),        // ID match byte
        fixed(188, 1, IoParameter),        // relay auto-on mask
        fixed(189, 1, IoParameter),        // relay auto-off mask
        fixed(190, 1, IoParameter),        // relay 3 delay time
        fixed(191, 1, IoParameter),        // relay 4 delay time
        fixed(192, 1, AntennaPower),       // channel 1 power code
        fixed(208, 1, AntennaPower),       // channel 2 power code
        fixed(224, 1, AntennaPower),       // channel 3 power code
        fixed(240, 1, AntennaPower),       // channel 4 power code
    };
}();

// The parameter at address, or nullptr when the program never touches it.
constexpr const Para* findPara(int address)
{
    for (const Para& para : paraTable)
        if (para.address == address)
            return &para;
    return nullptr;
}

namespace para_detail {
// Ascending and apart: no parameter's bytes run into the next one's.
constexpr bool addressesApart()
{
    for (std::size_t i = 1; i < paraTable.size(); ++i)
        if (paraTable[i - 1].address + paraTable[i - 1].readLength > paraTable[i].address)
            return false;
    return true;
}
constexpr bool lengthsSound()
{
    return std::all_of(paraTable.begin(), paraTable.end(), [](const Para& p) {
        return p.readLength >= 1 && p.writeMin >= 1 && p.writeMin <= p.writeMax
            && p.writeMax <= p.readLength && p.address + p.readLength <= 256;
    });
}
constexpr bool everyOneOwned()
{
    return std::none_of(paraTable.begin(), paraTable.end(), [](const Para& p) { return p.page == Page::None; });
}
} // namespace para_detail

static_assert(para_detail::everyOneOwned(), "every parameter belongs to a page");
static_assert(para_detail::addressesApart(), "parameter addresses must ascend without overlap");
static_assert(para_detail::lengthsSound(), "every parameter needs a sound read and write length");
static_assert(findPara(87)->write == ParaWrite::OffLineEnable);
