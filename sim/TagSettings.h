// The reader's settings that decide when it reads tags, what it sends and
// where, taken from its parameter memory (docs/tag-output.md lists them).
#pragma once

#include "ParaTable.h"
#include "ReaderState.h"

#include <array>
#include <chrono>
#include <cstdint>

namespace sim {

enum class WorkMode : uint8_t { MasterSlave = 1, Timing = 2, Triggering = 3 };

// Bits of the output port mask.
namespace output_port {
inline constexpr const Para& kMask = paraNamed(Page::FrameFormat, "output_ports");
constexpr uint8_t kRs232 = maskBitNamed(kMask, "rs232");
constexpr uint8_t kRs485 = maskBitNamed(kMask, "rs485");
constexpr uint8_t kWiegand = maskBitNamed(kMask, "wiegand");
constexpr uint8_t kUsb = maskBitNamed(kMask, "usb");
constexpr uint8_t kTcpIp = maskBitNamed(kMask, "tcp_ip");
constexpr uint8_t kCan = maskBitNamed(kMask, "can");
constexpr uint8_t kComKeyboard = maskBitNamed(kMask, "com_keyboard");
constexpr uint8_t kUsbKeyboard = maskBitNamed(kMask, "usb_keyboard");
} // namespace output_port

struct TagSettings {
    uint8_t workMode = 0;                 // a WorkMode, or a value that reads nothing
    std::chrono::milliseconds roundInterval{10};
    uint8_t triggerInputs = 0;            // bits 0 to 3: inputs 1 to 4 switched on
    std::chrono::seconds autoDelayOff{0};
    uint8_t workAntennas = 0;
    bool gen2Epc = false;                 // the protocol the simulated tags answer in
    bool preCompare = false;
    bool flushTimeOn = false;
    std::chrono::seconds flushTime{0};
    bool timingOutput = false;
    std::chrono::seconds outputInterval{1};
    uint8_t outputPorts = 0;
    bool clientMode = false;
    std::array<uint8_t, 4> serverAddress{};
    uint16_t serverPort = 0;
};

TagSettings tagSettings(const ParameterMemory& memory);

} // namespace sim
