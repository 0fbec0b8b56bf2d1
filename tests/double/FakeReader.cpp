#include "FakeReader.h"

#include "Reader.h"

#include <cstring>

namespace fake {

namespace {
Reader& instance()
{
    static Reader r;
    return r;
}

// Status for this call: a queued status first, then the failure switches.
uint16_t statusFor(const std::string& function)
{
    auto& r = instance();
    auto it = r.statusQueue.find(function);
    if (it != r.statusQueue.end() && !it->second.empty()) {
        const uint16_t status = it->second.front();
        it->second.pop_front();
        return status;
    }
    if (r.answerNothing && function != "SelectStation")
        return READER_TIMEOUT;
    return READER_OK;
}

Call& record(const char* function, uint32_t handle, std::vector<int> args)
{
    if (instance().onCall) {
        const auto during = instance().onCall;   // a copy: the hook may replace itself
        during(function);
    }
    auto& calls = instance().calls;
    calls.push_back(Call{function, handle, std::move(args), {}, std::nullopt});
    return calls.back();
}
} // namespace

Reader& reader() { return instance(); }

void reset() { instance() = Reader{}; }

void failNext(const std::string& function, uint16_t status, int times)
{
    for (int i = 0; i < times; ++i)
        instance().statusQueue[function].push_back(status);
}

std::vector<Call> callsOf(const std::string& function)
{
    std::vector<Call> out;
    for (const auto& call : instance().calls)
        if (function.empty() || call.function == function)
            out.push_back(call);
    return out;
}

std::vector<std::string> callNames()
{
    std::vector<std::string> out;
    for (const auto& call : instance().calls)
        out.push_back(call.function);
    return out;
}

} // namespace fake

using fake::instance;
using fake::record;
using fake::statusFor;

extern "C" {

uint16_t OpenReader(uint32_t* handle, uint8_t portKind, const char* portText)
{
    auto& call = record("OpenReader", 0, {portKind});
    if (portText)
        call.text = std::string(portText);
    const uint16_t status = statusFor("OpenReader");
    if (status == READER_OK && handle)
        *handle = instance().handleToGive;
    return status;
}

uint16_t CloseReader(uint32_t handle)
{
    record("CloseReader", handle, {});
    return statusFor("CloseReader");
}

uint16_t StopRFwork(uint32_t handle)
{
    record("StopRFwork", handle, {});
    return statusFor("StopRFwork");
}

static uint16_t version(const char* function, uint32_t handle, uint8_t* out, const std::array<uint8_t, 4>& value)
{
    auto& call = record(function, handle, {});
    const uint16_t status = statusFor(function);
    if (status == READER_OK || instance().versionsWriteBuffer) {
        std::memcpy(out, value.data(), 4);
        call.bytes.assign(value.begin(), value.end());
    }
    return status;
}

uint16_t GetFirmwareVersion(uint32_t handle, uint8_t* v)
{
    return version("GetFirmwareVersion", handle, v, instance().firmware);
}

uint16_t GetSdkVersion(uint32_t handle, uint8_t* v)
{
    return version("GetSdkVersion", handle, v, instance().sdk);
}

uint16_t GetParameter(uint32_t handle, uint8_t address, uint8_t length, uint8_t* buffer)
{
    auto& r = instance();
    auto& call = record("GetParameter", handle, {address, length});
    uint16_t status = statusFor("GetParameter");
    // As a reader refuses a read that touches a refused address, a long one too.
    for (int i = 0; i < length && status == READER_OK; ++i)
        if (auto it = r.failGet.find(uint8_t(address + i)); it != r.failGet.end())
            status = it->second;
    if (status != READER_OK)
        return status;
    for (int i = 0; i < length; ++i)
        buffer[i] = r.memory[(address + i) & 0xFF];
    call.bytes.assign(buffer, buffer + length);
    return READER_OK;
}

uint16_t SetParameter(uint32_t handle, uint8_t address, uint8_t length, const uint8_t* buffer)
{
    auto& r = instance();
    auto& call = record("SetParameter", handle, {address, length});
    call.bytes.assign(buffer, buffer + length);
    uint16_t status = statusFor("SetParameter");
    if (auto it = r.failSet.find(address); status == READER_OK && it != r.failSet.end())
        status = it->second;
    if (status != READER_OK)
        return status;
    for (int i = 0; i < length; ++i)
        r.memory[(address + i) & 0xFF] = buffer[i];
    return READER_OK;
}

uint16_t SetOLEnable(uint32_t handle, uint8_t flag)
{
    record("SetOLEnable", handle, {flag});
    const uint16_t status = statusFor("SetOLEnable");
    if (status == READER_OK)
        instance().memory[87] = flag;
    return status;
}

uint16_t SetBaudRate(uint32_t handle, uint8_t value)
{
    record("SetBaudRate", handle, {value});
    return statusFor("SetBaudRate");
}

uint16_t ResetReader(uint32_t handle)
{
    record("ResetReader", handle, {});
    return statusFor("ResetReader");
}

uint16_t SelectStation(uint8_t station)
{
    record("SelectStation", 0, {station});
    return statusFor("SelectStation");
}

} // extern "C"
