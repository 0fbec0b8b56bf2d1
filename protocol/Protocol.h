// The reader protocol's command codes, reader statuses and limits: shared by the
// device library and the virtual reader so both sides agree on every number.
// docs/protocol.md describes the protocol in full.
#pragma once

#include "Reader.h"

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
    SetBaudRate = 0x30,    // payload: line-rate code (READER_LINK_RATE_*)
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

// The line rate (bit/s) of a Set baud rate code (READER_LINK_RATE_*), or 0 for
// any other code: the library and the reader refuse those.
constexpr uint32_t linkRateOf(uint8_t code)
{
    switch (code) {
    case READER_LINK_RATE_115200: return 115200;
    case READER_LINK_RATE_57600: return 57600;
    case READER_LINK_RATE_38400: return 38400;
    case READER_LINK_RATE_19200: return 19200;
    case READER_LINK_RATE_9600: return 9600;
    default: return 0;
    }
}

constexpr std::size_t kParameterMemorySize = 256;
constexpr uint8_t kOffLineAddress = 87;   // read-only to SetParameter; set through SetOffLineEnable
constexpr uint8_t kStationAny = 255;
constexpr uint16_t kDefaultTcpPort = 4001;
// The wait for a TCP connection: long enough for one lost SYN, which the system
// resends after 1 s and whose answer still comes within this. The second
// resend (at 3 s) is not waited for.
constexpr int kTcpConnectTimeoutMs = 2500;

} // namespace proto
