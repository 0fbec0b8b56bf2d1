// Every parameter address the program touches: its length, the page that owns
// it, its stable name, what it means, its unit and range, and how its bytes
// become the value a person reads (ParaValue.h converts). Page routines take
// every length from here, never a literal; profiles and tagdesk-cli take names,
// ranges and encodings from here.
#pragma once

#include "Page.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

// How a parameter is written.
enum class ParaWrite : uint8_t {
    SetParameter,      // SetParameter with writeMin..writeMax bytes
    OffLineEnable,     // read only to SetParameter; changed through SetOLEnable's one-byte flag
};

// The reader keeps the start frequency as its offset above 860.00 MHz, in 10 kHz.
inline constexpr int32_t startFrequencyBase = 86000;

// How a parameter's bytes become the value a person reads.
enum class ValueKind : uint8_t {
    Byte,             // one byte, an unsigned number
    Word,             // two bytes, an unsigned number high byte first
    StartFrequency,   // two bytes high byte first: the offset above startFrequencyBase, so 92000 is 6000
    Flag,             // 1 on, 0 off; read back as on exactly when the byte is 1
    Choice,           // one byte naming one of a few settings
    Mask,             // one byte, each bit a named on/off setting (bit 0 first)
    ChannelMask,      // channel n is bit (n - 1) % 8 of byte (n - 1) / 8: a set of channel numbers
    HexBytes,         // a byte string shown as upper-case hexadecimal pairs
    Ipv4,             // four bytes in dotted order
};

// One setting of a Choice: the byte the reader keeps and the word a person reads.
struct ParaChoice {
    uint8_t code;
    const char* text;
};

struct Para {
    uint8_t address;
    uint8_t readLength;   // bytes GetParameter returns
    uint8_t writeMin;     // fewest bytes a write may carry
    uint8_t writeMax;     // most bytes a write may carry
    Page page;
    ParaWrite write = ParaWrite::SetParameter;

    const char* name = "";       // stable within its page; lower case, digits, underscores
    const char* meaning = "";    // one line for a person
    const char* unit = "";       // "" when the value has none
    ValueKind kind = ValueKind::Byte;
    int32_t min = 0;             // Byte, Word, StartFrequency: the values a write may carry; Ipv4: each part's
    int32_t max = 255;
    std::span<const char* const> bits{};     // Mask: the name of bit 0 first, eight names
    std::span<const ParaChoice> choices{};   // Choice: every setting the reader knows
    uint8_t fill = 0;            // HexBytes of variable length: what follows a shorter value in the field
    // The reader's own: a value no two readers of one site may share. A profile
    // written to another reader leaves that reader's own value in place
    // (profiles/ReaderIdentity.h); per-reader values give it on purpose.
    bool readersOwn = false;
};

namespace para_detail {

inline constexpr std::array<const char*, 8> triggerBits{"trigger1", "trigger2", "trigger3", "trigger4",
                                                        "bit4", "bit5", "bit6", "bit7"};
inline constexpr std::array<const char*, 8> antennaBits{"antenna1", "antenna2", "antenna3", "antenna4",
                                                        "bit4", "bit5", "bit6", "bit7"};
inline constexpr std::array<const char*, 8> relayBits{"relay1", "relay2", "relay3", "relay4",
                                                      "bit4", "bit5", "bit6", "bit7"};
inline constexpr std::array<const char*, 8> protocolBits{"iso18000_6b", "epc_class1", "gen2_epc", "bit3",
                                                         "rail_tag", "container_tag", "gen2_tid", "bit7"};
inline constexpr std::array<const char*, 8> outputPortBits{"rs232", "rs485", "wiegand", "usb",
                                                           "tcp_ip", "can", "com_keyboard", "usb_keyboard"};
inline constexpr std::array<const char*, 8> frameFieldBits{"bit0", "bit1", "bit2", "bit3",
                                                           "end_code", "tag_id", "reader_number", "preamble"};
inline constexpr std::array<const char*, 8> idMatchBits{"match", "mismatch", "continue", "once",
                                                        "relay1", "relay2", "relay3", "relay4"};

inline constexpr std::array<ParaChoice, 2> connectionModes{{{2, "server"}, {3, "client"}}};
inline constexpr std::array<ParaChoice, 2> dataFormats{{{0, "hex"}, {1, "ascii"}}};
inline constexpr std::array<ParaChoice, 2> outputModes{{{0, "real_time"}, {1, "timing"}}};
inline constexpr std::array<ParaChoice, 3> workModes{{{1, "master_slave"}, {2, "timing"}, {3, "triggering"}}};
// Parameter 131's codes: 0 is 9600 bit/s. (The library's SetBaudRate call codes the link's rate otherwise.)
inline constexpr std::array<ParaChoice, 5> rs485BaudCodes{
    {{0, "9600"}, {1, "19200"}, {2, "38400"}, {3, "57600"}, {4, "115200"}}};
inline constexpr std::array<ParaChoice, 2> transferModes{{{0, "passive"}, {1, "active"}}};
inline constexpr std::array<ParaChoice, 2> wiegandProtocols{{{1, "wiegand26"}, {2, "wiegand34"}}};
inline constexpr std::array<ParaChoice, 2> synchronizations{{{0, "host"}, {1, "self"}}};
inline constexpr std::array<ParaChoice, 2> identificationModes{{{1, "single_tag"}, {2, "multiple_tag"}}};
// The power list's items: the code is the item's position + 2, 1 dB steps up to 27 dBm, half steps above.
inline constexpr std::array<ParaChoice, 14> powerCodes{{{2, "20"}, {3, "21"}, {4, "22"}, {5, "23"}, {6, "24"},
                                                        {7, "25"}, {8, "26"}, {9, "27"}, {10, "27.5"}, {11, "28"},
                                                        {12, "28.5"}, {13, "29"}, {14, "29.5"}, {15, "30"}}};

constexpr Para number(uint8_t address, Page page, const char* name, const char* meaning, const char* unit,
                      int32_t min = 0, int32_t max = 255)
{
    return Para{address, 1, 1, 1, page, ParaWrite::SetParameter, name, meaning, unit, ValueKind::Byte, min, max};
}
constexpr Para word(uint8_t address, Page page, const char* name, const char* meaning, const char* unit)
{
    return Para{address, 2, 2, 2, page, ParaWrite::SetParameter, name, meaning, unit, ValueKind::Word, 0, 65535};
}
constexpr Para flag(uint8_t address, Page page, const char* name, const char* meaning)
{
    return Para{address, 1, 1, 1, page, ParaWrite::SetParameter, name, meaning, "", ValueKind::Flag, 0, 1};
}
constexpr Para choice(uint8_t address, Page page, const char* name, const char* meaning,
                      std::span<const ParaChoice> choices, const char* unit = "")
{
    Para para{address, 1, 1, 1, page, ParaWrite::SetParameter, name, meaning, unit, ValueKind::Choice, 0, 255};
    para.choices = choices;
    return para;
}
constexpr Para mask(uint8_t address, Page page, const char* name, const char* meaning,
                    std::span<const char* const> bits)
{
    Para para{address, 1, 1, 1, page, ParaWrite::SetParameter, name, meaning, "", ValueKind::Mask, 0, 255};
    para.bits = bits;
    return para;
}
// Fixed length: a write carries every byte.
constexpr Para hex(uint8_t address, uint8_t length, Page page, const char* name, const char* meaning)
{
    return Para{address, length, length, length, page, ParaWrite::SetParameter, name, meaning, "", ValueKind::HexBytes};
}
// Entered with 1..length bytes, read back in full; fill is what follows a value
// shorter than the field (a profile writes it; the page writes what was entered).
constexpr Para variableHex(uint8_t address, uint8_t length, Page page, const char* name, const char* meaning,
                           uint8_t fill)
{
    Para para{address, length, 1, length, page, ParaWrite::SetParameter, name, meaning, "", ValueKind::HexBytes};
    para.fill = fill;
    return para;
}

// 0xFF ends a preamble or end code shorter than 4 bytes.
inline constexpr uint8_t codeEnd = 0xFF;
constexpr Para ipv4(uint8_t address, Page page, const char* name, const char* meaning)
{
    return Para{address, 4, 4, 4, page, ParaWrite::SetParameter, name, meaning, "", ValueKind::Ipv4};
}

// A parameter that identifies one reader among others (Para::readersOwn).
constexpr Para ownedByEachReader(Para para)
{
    para.readersOwn = true;
    return para;
}

} // namespace para_detail

inline constexpr auto paraTable = [] {
    using enum Page;
    using namespace para_detail;
    return std::array{
        // The Communication Port page: which values are a reader's own, and why.
        // Shared: every reader of a site connects to the same server the same way.
        choice(3, CommunicationPort, "connection_mode", "Ethernet connection mode (client when bit 0 is set)", connectionModes),
        // Shared: a site's network gives addresses by DHCP to all its readers or to none.
        flag(4, CommunicationPort, "dhcp", "DHCP on/off"),
        // Own: two equal MAC addresses on one network segment lose each other's frames.
        ownedByEachReader(hex(6, 6, CommunicationPort, "mac_address", "MAC address")),
        // Own: two readers on one address answer for each other, or neither does.
        ownedByEachReader(ipv4(12, CommunicationPort, "ip_address", "IP address")),
        // Shared: the readers of one network have its mask.
        ipv4(16, CommunicationPort, "subnet_mask", "subnet mask"),
        // Shared: the readers of one network reach others through its gateway.
        ipv4(20, CommunicationPort, "gateway", "default gateway"),
        // Shared: the address tells the readers apart, so all may listen on one port.
        word(24, CommunicationPort, "port", "TCP port number", ""),
        // Shared: in client mode every reader of a site reports to the same server.
        ipv4(26, CommunicationPort, "server_ip_address", "server IP address (client mode)"),
        // Shared: the server's port, as its address.
        word(30, CommunicationPort, "server_port", "server port number (client mode)", ""),
        choice(64, FrameFormat, "data_format", "data format of tag data", dataFormats),
        number(65, FrameFormat, "tag_id_window",
               "tag ID window: start 0..11 in the high nibble, length 1..12 in the low (12 bytes from 0: 0x0C)", ""),
        number(66, SupportedProtocol, "gen2_tid_length", "Gen 2 TID length", "", 4, 7),
        choice(68, FrameFormat, "output_mode", "output mode", outputModes),
        word(69, FrameFormat, "output_interval", "output interval", "s"),
        mask(71, FrameFormat, "frame_fields", "what an output frame holds", frameFieldBits),
        variableHex(72, 4, FrameFormat, "preamble_code", "preamble code, 1 to 4 bytes", codeEnd),
        variableHex(76, 4, FrameFormat, "end_code", "end code, 1 to 4 bytes", codeEnd),
        Para{80, 2, 2, 2, Frequency, ParaWrite::SetParameter, "start_frequency", "start frequency",
             "10 kHz", ValueKind::StartFrequency, startFrequencyBase, 96000},
        number(82, Frequency, "frequency_interval", "frequency interval (channel step)", "10 kHz"),
        number(83, Frequency, "frequency_points", "frequency points (number of channels)", ""),
        word(84, Reader, "offline_interval", "off-line record-saving interval", "s"),
        Para{87, 1, 1, 1, Reader, ParaWrite::OffLineEnable, "offline_function", "off-line function on/off", "",
             ValueKind::Flag, 0, 1},
        mask(98, SupportedProtocol, "protocols", "tag protocols the reader reads", protocolBits),
        // Own: the number by which an RS-485 bus addresses a reader and its tag data names it.
        ownedByEachReader(number(100, CommunicationPort, "reader_number", "reader number", "")),
        flag(101, IoParameter, "buzzer", "buzzer on/off"),
        choice(128, Reader, "work_mode", "work mode", workModes),
        number(129, Reader, "timer_interval", "timer interval", "10 ms"),
        mask(130, FrameFormat, "output_ports", "ports tag data goes out on", outputPortBits),
        // Shared: the RS-485 line, its Wiegand receivers and their timing are the same for a site's readers.
        choice(131, CommunicationPort, "rs485_baud_rate", "RS-485 baud rate", rs485BaudCodes, "bit/s"),
        number(132, CommunicationPort, "rs485_protocol", "RS-485 protocol", ""),
        flag(133, CommunicationPort, "ack_transfer", "ack transfer on/off"),
        choice(134, CommunicationPort, "rs485_transfer_mode", "RS-485 transfer mode", transferModes),
        choice(135, CommunicationPort, "wiegand_protocol", "Wiegand protocol", wiegandProtocols),
        number(136, CommunicationPort, "wiegand_pulse_width", "Wiegand pulse width", "10 us"),
        number(137, CommunicationPort, "wiegand_pulse_period", "Wiegand pulse period", "100 us"),
        number(139, CommunicationPort, "wiegand_interval", "Wiegand interval", "100 ms", 1, 10),
        flag(140, CommunicationPort, "id_buffered", "ID buffered on/off"),
        flag(141, Reader, "id_pre_compare", "ID pre-compare on/off"),
        choice(142, Reader, "synchronization", "synchronization source", synchronizations),
        mask(145, Reader, "triggers", "trigger inputs switched on", triggerBits),
        number(146, Reader, "trigger_auto_delay_off", "trigger auto delay off time", "s"),
        flag(147, Reader, "flush_time_enabled", "flush time on/off"),
        word(148, Reader, "flush_time", "flush time", "s"),
        choice(150, Reader, "identification_mode", "identification mode", identificationModes),
        mask(153, AntennaPower, "work_antennas", "antenna ports the reader works with", antennaBits),
        mask(154, AntennaPower, "checked_antennas", "antenna ports the reader checks", antennaBits),
        number(155, IoParameter, "relay1_delay", "relay 1 delay time", "s"),
        number(156, IoParameter, "relay2_delay", "relay 2 delay time", "s"),
        number(160, Frequency, "channel_mode", "channel mode: 0 hopping, n fixed on channel n", ""),
        number(161, Frequency, "hopping_interval", "hopping interval", "10 ms", 5, 100),
        Para{162, 7, 7, 7, Frequency, ParaWrite::SetParameter, "hopping_channels", "channels the reader hops over",
             "", ValueKind::ChannelMask, 1, 56},
        flag(178, Reader, "id_feature_match", "ID feature match on/off"),
        number(179, Reader, "id_feature_length", "ID feature match length", "bytes", 1, 6),
        variableHex(180, 6, Reader, "id_feature_value", "ID feature match value, 1 to 6 bytes", 0),
        number(186, IoParameter, "id_match_check_interval", "ID match check interval", "s"),
        mask(187, IoParameter, "id_match", "ID match outputs", idMatchBits),
        mask(188, IoParameter, "relay_auto_on", "relays switched on automatically", relayBits),
        mask(189, IoParameter, "relay_auto_off", "relays switched off after their delay", relayBits),
        number(190, IoParameter, "relay3_delay", "relay 3 delay time", "s"),
        number(191, IoParameter, "relay4_delay", "relay 4 delay time", "s"),
        choice(192, AntennaPower, "channel1_power", "power of channel 1", powerCodes, "dBm"),
        choice(208, AntennaPower, "channel2_power", "power of channel 2", powerCodes, "dBm"),
        choice(224, AntennaPower, "channel3_power", "power of channel 3", powerCodes, "dBm"),
        choice(240, AntennaPower, "channel4_power", "power of channel 4", powerCodes, "dBm"),
    };
}();

// The parameter named name on page, for a page's rows: a name the table lacks does not compile.
consteval const Para& paraNamed(Page page, std::string_view name)
{
    for (const Para& para : paraTable)
        if (para.page == page && name == para.name)
            return para;
    throw "no parameter of that name on that page";
}

// The bit of a Mask parameter's byte that stands for the setting called name,
// for code that reads one setting of it: a name the mask lacks does not compile.
consteval uint8_t maskBitNamed(const Para& mask, std::string_view name)
{
    for (std::size_t bit = 0; bit < mask.bits.size(); ++bit)
        if (name == mask.bits[bit])
            return uint8_t(1u << bit);
    throw "no setting of that name in that mask";
}

// The parameter at address, or nullptr when the program never touches it.
constexpr const Para* findPara(int address)
{
    for (const Para& para : paraTable)
        if (para.address == address)
            return &para;
    return nullptr;
}

// The parameter of page called name, or nullptr.
constexpr const Para* findParaNamed(Page page, std::string_view name)
{
    for (const Para& para : paraTable)
        if (para.page == page && para.name == name)
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
constexpr bool namesUniqueInPage()
{
    for (const Para& para : paraTable)
        if (std::string_view(para.name).empty() || findParaNamed(para.page, para.name) != &para)
            return false;
    return true;
}
constexpr bool kindsFitLengths()
{
    return std::all_of(paraTable.begin(), paraTable.end(), [](const Para& p) {
        switch (p.kind) {
        case ValueKind::Word:
        case ValueKind::StartFrequency:
            return p.readLength == 2;
        case ValueKind::Ipv4:
            return p.readLength == 4;
        case ValueKind::Mask:
            return p.readLength == 1 && p.bits.size() == 8;
        case ValueKind::Choice:
            return p.readLength == 1 && !p.choices.empty();
        case ValueKind::ChannelMask:
        case ValueKind::HexBytes:
            return true;
        case ValueKind::Byte:
        case ValueKind::Flag:
            return p.readLength == 1;
        }
        return false;
    });
}
// A group added without its row in pageKeys has no profile table to go into.
constexpr bool pagesNamed()
{
    return std::all_of(paraTable.begin(), paraTable.end(), [](const Para& p) { return hasPageKey(p.page); });
}
// A list shows a Choice's settings in order: position i stands for the first code + i.
constexpr bool choicesConsecutive()
{
    return std::all_of(paraTable.begin(), paraTable.end(), [](const Para& p) {
        for (std::size_t i = 1; i < p.choices.size(); ++i)
            if (p.choices[i].code != p.choices[0].code + i)
                return false;
        return true;
    });
}
} // namespace para_detail

static_assert(para_detail::pagesNamed(), "every parameter's page needs its row in pageKeys (Page.h)");
static_assert(para_detail::choicesConsecutive(), "every choice's codes must follow each other from its first");
static_assert(para_detail::addressesApart(), "parameter addresses must ascend without overlap");
static_assert(para_detail::lengthsSound(), "every parameter needs a sound read and write length");
static_assert(para_detail::namesUniqueInPage(), "every parameter needs a name of its own within its page");
static_assert(para_detail::kindsFitLengths(), "every value kind needs the length it decodes");
static_assert(findPara(87)->write == ParaWrite::OffLineEnable);
// Profiles are written in table order: the frequency plan must come before the channel choice.
static_assert(findPara(80) < findPara(160) && findPara(83) < findPara(160) && findPara(83) < findPara(162));
