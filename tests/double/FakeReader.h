// A test double of the device library: the eleven functions of Reader.h over a
// scripted parameter memory, with per-call statuses and a log of every call.
// GUI tests link it instead of libReader.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace fake {

struct Call {
    std::string function;            // "GetParameter", "SelectStation", ...
    uint32_t handle = 0;             // 0 for SelectStation
    std::vector<int> args;           // the byte arguments after the handle, in order
    std::vector<uint8_t> bytes;      // bytes written (SetParameter) or returned (GetParameter, versions)
    std::optional<std::string> text; // OpenReader's port text; nullopt for NULL
};

struct Reader {
    std::array<uint8_t, 256> memory{};
    std::vector<Call> calls;
    uint32_t handleToGive = 7;                          // what OpenReader writes into *handle
    std::array<uint8_t, 4> firmware{1, 2, 0, 3};
    std::array<uint8_t, 4> sdk{2, 1, 0, 0};
    bool versionsWriteBuffer = true;                    // false: a failing version call leaves the buffer alone
    bool answerNothing = false;                         // every call but SelectStation fails
    std::map<std::string, std::deque<uint16_t>> statusQueue; // next statuses per function, then 0
    std::map<int, uint16_t> failGet;                    // address -> status of every read touching it
    std::map<int, uint16_t> failSet;                    // address -> status of every write there
    std::function<void(const std::string&)> onCall;     // runs inside every call (its name), before it is logged
};

// The one reader every test talks to; reset() before each test.
Reader& reader();
void reset();

// Queue statuses for the next calls of one function ("OpenReader", ...).
void failNext(const std::string& function, uint16_t status = 0x12, int times = 1);

// Calls of one function, in order; or every call when function is empty.
std::vector<Call> callsOf(const std::string& function = {});
// Names of all calls in order, e.g. {"OpenReader", "StopRFwork", ...}.
std::vector<std::string> callNames();

} // namespace fake
