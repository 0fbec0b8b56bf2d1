#include "TagSettings.h"

#include "ParaTable.h"

#include <algorithm>

namespace sim {

namespace {

consteval uint8_t at(Page page, std::string_view name)
{
    return paraNamed(page, name).address;
}

constexpr uint8_t kWorkMode = at(Page::Reader, "work_mode");
constexpr uint8_t kTimerInterval = at(Page::Reader, "timer_interval");
constexpr uint8_t kTriggers = at(Page::Reader, "triggers");
constexpr uint8_t kAutoDelayOff = at(Page::Reader, "trigger_auto_delay_off");
constexpr uint8_t kPreCompare = at(Page::Reader, "id_pre_compare");
constexpr uint8_t kFlushTimeOn = at(Page::Reader, "flush_time_enabled");
constexpr uint8_t kFlushTime = at(Page::Reader, "flush_time");
constexpr uint8_t kWorkAntennas = at(Page::AntennaPower, "work_antennas");
constexpr uint8_t kProtocols = at(Page::SupportedProtocol, "protocols");
constexpr uint8_t kOutputMode = at(Page::FrameFormat, "output_mode");
constexpr uint8_t kOutputInterval = at(Page::FrameFormat, "output_interval");
constexpr uint8_t kOutputPorts = output_port::kMask.address;
constexpr uint8_t kConnectionMode = at(Page::CommunicationPort, "connection_mode");
constexpr uint8_t kServerAddress = at(Page::CommunicationPort, "server_ip_address");
constexpr uint8_t kServerPort = at(Page::CommunicationPort, "server_port");

constexpr uint8_t kGen2EpcBit = maskBitNamed(paraNamed(Page::SupportedProtocol, "protocols"), "gen2_epc");

unsigned word(const ParameterMemory& memory, uint8_t address)
{
    return memory[address] << 8 | memory[address + 1];
}

} // namespace

TagSettings tagSettings(const ParameterMemory& memory)
{
    TagSettings s;
    s.workMode = memory[kWorkMode];
    // The shortest round is 10 ms: an interval of 0 counts as 1.
    s.roundInterval = std::chrono::milliseconds(10 * std::max<unsigned>(1, memory[kTimerInterval]));
    s.triggerInputs = memory[kTriggers] & 0x0F;
    s.autoDelayOff = std::chrono::seconds(memory[kAutoDelayOff]);
    s.workAntennas = memory[kWorkAntennas] & 0x0F;
    s.gen2Epc = (memory[kProtocols] & kGen2EpcBit) != 0;
    s.preCompare = memory[kPreCompare] == 1;
    s.flushTimeOn = memory[kFlushTimeOn] == 1;
    s.flushTime = std::chrono::seconds(word(memory, kFlushTime));
    s.timingOutput = (memory[kOutputMode] & 0x01) != 0;
    // An output interval of 0 counts as 1 s.
    s.outputInterval = std::chrono::seconds(std::max(1u, word(memory, kOutputInterval)));
    s.outputPorts = memory[kOutputPorts];
    s.clientMode = (memory[kConnectionMode] & 0x01) != 0;
    std::copy_n(memory.begin() + kServerAddress, s.serverAddress.size(), s.serverAddress.begin());
    s.serverPort = static_cast<uint16_t>(word(memory, kServerPort));
    return s;
}

} // namespace sim
