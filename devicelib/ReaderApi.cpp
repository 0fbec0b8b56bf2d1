// The eleven exported functions: argument checks, then one request on the
// handle's link. Nothing here knows which transport carries it.
#include "Reader.h"

#include "HandleTable.h"
#include "Link.h"
#include "OpenTransport.h"
#include "Protocol.h"
#include "Status.h"

#include <atomic>
#include <cstring>
#include <exception>

using namespace readerlib;

namespace {

// The station address put into every following frame (SelectStation).
std::atomic<uint8_t> selectedStation{proto::kStationAny};

constexpr uint8_t kLibraryVersion[4] = {READER_VERSION_MAJOR, READER_VERSION_MINOR, READER_VERSION_PATCH,
                                        READER_VERSION_TWEAK};

// Sends one request on handle's link; the answer's payload must begin with
// echo and then hold exactly answerSize bytes.
uint16_t request(uint32_t handle, proto::Command command, const std::vector<uint8_t>& payload,
                 std::size_t answerSize, std::vector<uint8_t>& answer, const std::vector<uint8_t>& echo = {})
{
    const std::shared_ptr<Link> link = HandleTable::instance().find(handle);
    if (!link)
        return READER_FAIL(READER_BAD_HANDLE, "unknown or closed handle");
    if (const uint16_t status = link->transact(command, payload, selectedStation.load(), answer, echo);
        status != READER_OK)
        return status;
    if (answer.size() != answerSize)
        return READER_FAIL(READER_BAD_FRAME, "answer payload has the wrong length");
    return READER_OK;
}

// No exception may cross the C boundary: running out of memory (or of any
// other resource the standard library reports) becomes a status.
template <typename Body>
uint16_t withoutExceptions(const char* function, Body&& body)
{
    try {
        return body();
    } catch (const std::exception&) {
        return failWith(function, READER_NO_RESOURCES, "out of memory or resources");
    }
}

uint16_t simpleRequest(uint32_t handle, proto::Command command, const std::vector<uint8_t>& payload = {})
{
    std::vector<uint8_t> answer;
    return request(handle, command, payload, 0, answer);
}

} // namespace

extern "C" {

READER_EXPORT uint16_t READER_CALL OpenReader(uint32_t* handle, uint8_t portKind, const char* portText)
{
    if (handle == nullptr)
        return READER_FAIL(READER_BAD_ARGUMENT, "null handle pointer");
    return withoutExceptions(__func__, [&]() -> uint16_t {
        uint16_t status = READER_OK;
        std::unique_ptr<Transport> transport = openTransport(portKind, portText, status);
        if (!transport)
            return status;
        const uint32_t opened = HandleTable::instance().add(std::make_shared<Link>(std::move(transport)));
        if (opened == 0)
            return failWith("OpenReader", READER_NO_RESOURCES, "too many open links");
        *handle = opened;
        return READER_OK;
    });
}

READER_EXPORT uint16_t READER_CALL CloseReader(uint32_t handle)
{
    if (!HandleTable::instance().remove(handle))
        return READER_FAIL(READER_BAD_HANDLE, "unknown or closed handle");
    return READER_OK;
}

READER_EXPORT uint16_t READER_CALL StopRFwork(uint32_t handle)
{
    return withoutExceptions(__func__, [&]() -> uint16_t {
        return simpleRequest(handle, proto::Command::StopRfWork);
    });
}

READER_EXPORT uint16_t READER_CALL GetFirmwareVersion(uint32_t handle, uint8_t* version)
{
    if (version == nullptr)
        return READER_FAIL(READER_BAD_ARGUMENT, "null version buffer");
    return withoutExceptions(__func__, [&]() -> uint16_t {
        std::vector<uint8_t> answer;
        if (const uint16_t status = request(handle, proto::Command::GetFirmwareVersion, {}, 4, answer);
            status != READER_OK)
            return status;
        std::memcpy(version, answer.data(), 4);
        return READER_OK;
    });
}

READER_EXPORT uint16_t READER_CALL GetSdkVersion(uint32_t handle, uint8_t* version)
{
    if (version == nullptr)
        return READER_FAIL(READER_BAD_ARGUMENT, "null version buffer");
    if (!HandleTable::instance().find(handle))
        return READER_FAIL(READER_BAD_HANDLE, "unknown or closed handle");
    std::memcpy(version, kLibraryVersion, 4);
    return READER_OK;
}

READER_EXPORT uint16_t READER_CALL GetParameter(uint32_t handle, uint8_t address, uint8_t length, uint8_t* buffer)
{
    if (buffer == nullptr)
        return READER_FAIL(READER_BAD_ARGUMENT, "null buffer");
    if (length == 0 || address + length > static_cast<int>(proto::kParameterMemorySize))
        return READER_FAIL(READER_BAD_ARGUMENT, "address and length outside the parameter memory");
    return withoutExceptions(__func__, [&]() -> uint16_t {
        std::vector<uint8_t> answer;
        if (const uint16_t status =
                request(handle, proto::Command::GetParameter, {address, length}, length, answer, {address, length});
            status != READER_OK)
            return status;
        std::memcpy(buffer, answer.data(), length);
        return READER_OK;
    });
}

READER_EXPORT uint16_t READER_CALL SetParameter(uint32_t handle, uint8_t address, uint8_t length, const uint8_t* buffer)
{
    if (buffer == nullptr)
        return READER_FAIL(READER_BAD_ARGUMENT, "null buffer");
    if (length == 0 || address + length > static_cast<int>(proto::kParameterMemorySize))
        return READER_FAIL(READER_BAD_ARGUMENT, "address and length outside the parameter memory");
    return withoutExceptions(__func__, [&]() -> uint16_t {
        std::vector<uint8_t> payload(2u + length);
        payload[0] = address;
        payload[1] = length;
        std::memcpy(payload.data() + 2, buffer, length);
        std::vector<uint8_t> answer;
        return request(handle, proto::Command::SetParameter, payload, 0, answer, {address, length});
    });
}

READER_EXPORT uint16_t READER_CALL SetOLEnable(uint32_t handle, uint8_t flag)
{
    if (flag > 1)
        return READER_FAIL(READER_BAD_ARGUMENT, "off-line flag is neither 0 nor 1");
    return withoutExceptions(__func__, [&]() -> uint16_t {
        return simpleRequest(handle, proto::Command::SetOffLineEnable, {flag});
    });
}

READER_EXPORT uint16_t READER_CALL SetBaudRate(uint32_t handle, uint8_t value)
{
    const uint32_t lineRate = proto::linkRateOf(value);
    if (lineRate == 0)
        return READER_FAIL(READER_BAD_ARGUMENT, "not a READER_LINK_RATE_* code");
    return withoutExceptions(__func__, [&]() -> uint16_t {
        if (const uint16_t status = simpleRequest(handle, proto::Command::SetBaudRate, {value}); status != READER_OK)
            return status;
        // The reader answered at its old rate and switches now; the line follows it.
        const std::shared_ptr<Link> link = HandleTable::instance().find(handle);
        if (!link)
            return READER_FAIL(READER_BAD_HANDLE, "handle closed during the call");
        return link->setLineRate(lineRate);
    });
}

READER_EXPORT uint16_t READER_CALL ResetReader(uint32_t handle)
{
    return withoutExceptions(__func__, [&]() -> uint16_t {
        return simpleRequest(handle, proto::Command::ResetReader);
    });
}

READER_EXPORT uint16_t READER_CALL SelectStation(uint8_t station)
{
    if ((station < 1 || station > 10) && station != proto::kStationAny)
        return READER_FAIL(READER_BAD_ARGUMENT, "station is neither 1..10 nor 255");
    selectedStation.store(station);
    return READER_OK;
}

} // extern "C"
