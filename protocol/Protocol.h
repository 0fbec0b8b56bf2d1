// The reader protocol's command codes, reader statuses and limits: shared by the
// device library and the virtual reader so both sides agree on every number.
// docs/protocol.md describes the protocol in full.
#pragma once

#include <cstddef>
#include <cstdint>

namespace proto {

// An answer carries the request's command code with this bit set.
constexpr uint8_t kAnswerBit = 0x80;

enum class Command : uint8_t {
    StopRfWork = 0x10,
    GetFirmwareVersion = 0x11,
    GetParameter = 0x20,   // payload: address, length        -> answer payload: address, length, the bytes
    SetParameter = 0x21,   // payload: address, length, bytes -> answer payload: address, length
    SetOffLineEnable = 0x22, // payload: flag (0 or 1)
    SetBaudRate = 0x30,    // payload: baud-rate code
    ResetReader = 0x31,
};

// Status byte of an answer.
enum class ReaderStatus : uint8_t {
    Ok = 0x00,
    BadAddress = 0x01,     // address + length runs past the parameter memory, or length 0
    ReadOnly = 0x02,       // the address may not be written with SetParameter
    UnknownCommand = 0x03,
    BadPayload = 0x04,     // payload length does not fit the command
    Failed = 0x05,         // the reader could not carry out the request
};

// Set baud rate: the code is the index into this list of line rates (bit/s).
// Other codes are refused by the library and by the reader.
constexpr uint32_t kBaudRates[] = {115200, 57600, 38400, 19200, 9600};
constexpr uint8_t kBaudRateCodes = sizeof kBaudRates / sizeof kBaudRates[0];

constexpr std::size_t kParameterMemorySize = 256;
constexpr uint8_t kOffLineAddress = 87;   // read-only to SetParameter; set through SetOffLineEnable
constexpr uint8_t kStationAny = 255;
constexpr uint16_t kDefaultTcpPort = 4001;

} // namespace proto
