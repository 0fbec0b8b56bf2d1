// Calls the program or a careless caller could make with bad arguments: each
// gets a non-zero status, and none writes into a buffer it was not asked to fill.
#include "LibraryFixture.h"

#include <functional>
#include <vector>

namespace {

constexpr uint8_t kUntouched = 0xEE;

struct BadCall {
    const char* name;
    std::function<uint16_t(uint32_t handle, uint8_t* buffer)> call;
    uint16_t expected;
};

// handle is an open link; buffer holds 300 bytes of kUntouched.
const std::vector<BadCall> kBadCalls = {
    {"open_null_handle_pointer", [](uint32_t, uint8_t*) { return OpenReader(nullptr, READER_PORT_TCP, "127.0.0.1"); }, READER_BAD_ARGUMENT},
    {"open_unknown_kind_0", [](uint32_t, uint8_t*) { uint32_t h; return OpenReader(&h, 0, "COM1"); }, READER_BAD_ARGUMENT},
    {"open_unknown_kind_4", [](uint32_t, uint8_t*) { uint32_t h; return OpenReader(&h, 4, "COM1"); }, READER_BAD_ARGUMENT},
    {"get_null_buffer", [](uint32_t h, uint8_t*) { return GetParameter(h, 3, 1, nullptr); }, READER_BAD_ARGUMENT},
    {"get_length_0", [](uint32_t h, uint8_t* b) { return GetParameter(h, 3, 0, b); }, READER_BAD_ARGUMENT},
    {"get_past_memory_end", [](uint32_t h, uint8_t* b) { return GetParameter(h, 250, 7, b); }, READER_BAD_ARGUMENT},
    {"get_255_plus_255", [](uint32_t h, uint8_t* b) { return GetParameter(h, 255, 255, b); }, READER_BAD_ARGUMENT},
    {"set_null_buffer", [](uint32_t h, uint8_t*) { return SetParameter(h, 3, 1, nullptr); }, READER_BAD_ARGUMENT},
    {"set_length_0", [](uint32_t h, uint8_t* b) { return SetParameter(h, 3, 0, b); }, READER_BAD_ARGUMENT},
    {"set_past_memory_end", [](uint32_t h, uint8_t* b) { return SetParameter(h, 200, 57, b); }, READER_BAD_ARGUMENT},
    {"firmware_null_buffer", [](uint32_t h, uint8_t*) { return GetFirmwareVersion(h, nullptr); }, READER_BAD_ARGUMENT},
    {"sdk_null_buffer", [](uint32_t h, uint8_t*) { return GetSdkVersion(h, nullptr); }, READER_BAD_ARGUMENT},
    {"off_line_flag_2", [](uint32_t h, uint8_t*) { return SetOLEnable(h, 2); }, READER_BAD_ARGUMENT},
    {"baud_rate_code_5", [](uint32_t h, uint8_t*) { return SetBaudRate(h, 5); }, READER_BAD_ARGUMENT},
    {"baud_rate_code_255", [](uint32_t h, uint8_t*) { return SetBaudRate(h, 255); }, READER_BAD_ARGUMENT},
    {"station_0", [](uint32_t, uint8_t*) { return SelectStation(0); }, READER_BAD_ARGUMENT},
    {"station_11", [](uint32_t, uint8_t*) { return SelectStation(11); }, READER_BAD_ARGUMENT},
    {"station_254", [](uint32_t, uint8_t*) { return SelectStation(254); }, READER_BAD_ARGUMENT},
    {"close_0", [](uint32_t, uint8_t*) { return CloseReader(0); }, READER_BAD_HANDLE},
    {"stop_handle_0", [](uint32_t, uint8_t*) { return StopRFwork(0); }, READER_BAD_HANDLE},
    {"get_unknown_handle", [](uint32_t h, uint8_t* b) { return GetParameter(h + 1000, 3, 1, b); }, READER_BAD_HANDLE},
    {"set_unknown_handle", [](uint32_t h, uint8_t* b) { return SetParameter(h + 1000, 3, 1, b); }, READER_BAD_HANDLE},
    {"firmware_unknown_handle", [](uint32_t h, uint8_t* b) { return GetFirmwareVersion(h + 1000, b); }, READER_BAD_HANDLE},
    {"sdk_unknown_handle", [](uint32_t h, uint8_t* b) { return GetSdkVersion(h + 1000, b); }, READER_BAD_HANDLE},
    {"off_line_unknown_handle", [](uint32_t h, uint8_t*) { return SetOLEnable(h + 1000, 1); }, READER_BAD_HANDLE},
    {"baud_rate_unknown_handle", [](uint32_t h, uint8_t*) { return SetBaudRate(h + 1000, 0); }, READER_BAD_HANDLE},
    {"reset_unknown_handle", [](uint32_t h, uint8_t*) { return ResetReader(h + 1000); }, READER_BAD_HANDLE},
    {"close_unknown_handle", [](uint32_t h, uint8_t*) { return CloseReader(h + 1000); }, READER_BAD_HANDLE},
};

TEST_F(LibraryTest, BadCallsFailAndWriteNothing)
{
    SimProcess sim;
    const uint32_t handle = openVia(sim, Via::Tcp);
    ASSERT_NE(handle, 0u);
    for (const BadCall& bad : kBadCalls) {
        SCOPED_TRACE(bad.name);
        std::vector<uint8_t> buffer(300, kUntouched);
        EXPECT_EQ(bad.call(handle, buffer.data()), bad.expected);
        EXPECT_EQ(std::count(buffer.begin(), buffer.end(), kUntouched), 300);
    }
    // The link is still usable after all of that.
    uint8_t byte = 0;
    EXPECT_EQ(GetParameter(handle, 3, 1, &byte), READER_OK);
    CloseReader(handle);
}

struct BadPort {
    const char* name;
    uint8_t kind;
    const char* text;
    uint16_t expected;
};

class OpenWithBadPort : public LibraryTest, public ::testing::WithParamInterface<BadPort> {};

// A failed open leaves the caller's handle variable as it was.
TEST_P(OpenWithBadPort, FailsAndKeepsTheHandle)
{
    ScopedEnv noReader("READER_TCP_PORT", "1");   // nothing listens on port 1
    ScopedEnv missingPort("READER_COM9", "/nonexistent/tty");
    uint32_t handle = 0xCAFE;
    EXPECT_EQ(OpenReader(&handle, GetParam().kind, GetParam().text), GetParam().expected);
    EXPECT_EQ(handle, 0xCAFEu);
}

INSTANTIATE_TEST_SUITE_P(Ports, OpenWithBadPort,
    ::testing::Values(
        BadPort{"ip_empty", READER_PORT_TCP, "", READER_BAD_ARGUMENT},
        BadPort{"ip_three_parts", READER_PORT_TCP, "1.2.3", READER_BAD_ARGUMENT},
        BadPort{"ip_five_parts", READER_PORT_TCP, "1.2.3.4.5", READER_BAD_ARGUMENT},
        BadPort{"ip_part_over_255", READER_PORT_TCP, "999.1.1.1", READER_BAD_ARGUMENT},
        BadPort{"ip_letters", READER_PORT_TCP, "abc", READER_BAD_ARGUMENT},
        BadPort{"ip_null", READER_PORT_TCP, nullptr, READER_BAD_ARGUMENT},
        BadPort{"ip_empty_part", READER_PORT_TCP, "1..2.3", READER_BAD_ARGUMENT},
        BadPort{"ip_trailing_blank", READER_PORT_TCP, "127.0.0.1 ", READER_BAD_ARGUMENT},
        BadPort{"ip_sign", READER_PORT_TCP, "+1.2.3.4", READER_BAD_ARGUMENT},
        BadPort{"ip_nobody_listens", READER_PORT_TCP, "127.0.0.1", READER_CONNECTION_REFUSED},
        BadPort{"com_null", READER_PORT_SERIAL, nullptr, READER_BAD_ARGUMENT},
        BadPort{"com_empty", READER_PORT_SERIAL, "", READER_BAD_ARGUMENT},
        BadPort{"com_without_number", READER_PORT_SERIAL, "COM", READER_BAD_ARGUMENT},
        BadPort{"com_0", READER_PORT_SERIAL, "COM0", READER_BAD_ARGUMENT},
        BadPort{"com_256", READER_PORT_SERIAL, "COM256", READER_BAD_ARGUMENT},
        BadPort{"com_letters", READER_PORT_SERIAL, "COMx", READER_BAD_ARGUMENT},
        BadPort{"com_device_missing", READER_PORT_SERIAL, "COM9", READER_OPEN_FAILED}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
