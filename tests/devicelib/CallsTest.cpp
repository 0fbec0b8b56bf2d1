// Every function of the library against the virtual reader, over TCP and over
// the pseudo-terminal.
#include "LibraryFixture.h"

#include <array>
#include <vector>

namespace {

class Calls : public LibraryTest, public ::testing::WithParamInterface<Via> {};

TEST_P(Calls, EveryFunctionWorksAndCloseEndsTheHandle)
{
    SimProcess sim({"--firmware", "2.3.4.5"});
    const uint32_t handle = openVia(sim, GetParam());
    ASSERT_NE(handle, 0u);

    EXPECT_EQ(StopRFwork(handle), READER_OK);
    std::array<uint8_t, 4> version{};
    EXPECT_EQ(GetFirmwareVersion(handle, version.data()), READER_OK);
    EXPECT_EQ(version, (std::array<uint8_t, 4>{2, 3, 4, 5}));
    EXPECT_EQ(GetSdkVersion(handle, version.data()), READER_OK);
    EXPECT_EQ(version, (std::array<uint8_t, 4>{1, 4, 0, 6}));
    EXPECT_EQ(SetBaudRate(handle, 0), READER_OK);
    EXPECT_EQ(ResetReader(handle), READER_OK);

    EXPECT_EQ(CloseReader(handle), READER_OK);
    EXPECT_EQ(CloseReader(handle), READER_BAD_HANDLE);
    uint8_t byte = 0;
    EXPECT_EQ(GetParameter(handle, 3, 1, &byte), READER_BAD_HANDLE);
    EXPECT_EQ(StopRFwork(handle), READER_BAD_HANDLE);
}

struct Block {
    uint8_t address;
    uint8_t length;
};

// Reads give back what writes stored, from one byte to a run that ends at the
// last byte of the parameter memory.
TEST_P(Calls, GetParameterReturnsWhatSetParameterWrote)
{
    const std::vector<Block> blocks = {{3, 1}, {80, 2}, {192, 4}, {240, 16}, {88, 168}, {250, 6}};
    SimProcess sim;
    const uint32_t handle = openVia(sim, GetParam());
    ASSERT_NE(handle, 0u);
    uint8_t seed = 0x31;
    for (const Block& block : blocks) {
        SCOPED_TRACE(testing::Message() << "address " << int(block.address) << " length " << int(block.length));
        std::vector<uint8_t> written(block.length);
        for (uint8_t& byte : written)
            byte = seed += 0x3B;
        ASSERT_EQ(SetParameter(handle, block.address, block.length, written.data()), READER_OK);
        std::vector<uint8_t> read(block.length + 1u, 0xEE);
        ASSERT_EQ(GetParameter(handle, block.address, block.length, read.data()), READER_OK);
        EXPECT_EQ(std::vector<uint8_t>(read.begin(), read.end() - 1), written);
        EXPECT_EQ(read.back(), 0xEE) << "wrote past the requested length";
    }
    CloseReader(handle);
}

TEST_P(Calls, OffLineFlagChangesOnlyThroughSetOLEnable)
{
    SimProcess sim;
    const uint32_t handle = openVia(sim, GetParam());
    ASSERT_NE(handle, 0u);
    uint8_t flag = 0xEE;
    for (const uint8_t wanted : {uint8_t{1}, uint8_t{0}, uint8_t{1}}) {
        ASSERT_EQ(SetOLEnable(handle, wanted), READER_OK);
        ASSERT_EQ(GetParameter(handle, 87, 1, &flag), READER_OK);
        EXPECT_EQ(flag, wanted);
    }
    const uint8_t off[2] = {0, 0};
    EXPECT_EQ(SetParameter(handle, 87, 1, off), READER_REFUSED);
    EXPECT_EQ(SetParameter(handle, 86, 2, off), READER_REFUSED);
    ASSERT_EQ(GetParameter(handle, 87, 1, &flag), READER_OK);
    EXPECT_EQ(flag, 1);
    CloseReader(handle);
}

TEST_P(Calls, RefusedCallsLeaveTheBufferAlone)
{
    SimProcess sim({"--fail-read", "208", "--fail-write", "153"});
    const uint32_t handle = openVia(sim, GetParam());
    ASSERT_NE(handle, 0u);
    std::array<uint8_t, 4> buffer;
    buffer.fill(0xEE);
    EXPECT_EQ(GetParameter(handle, 208, 1, buffer.data()), READER_REFUSED);
    EXPECT_EQ(GetParameter(handle, 206, 4, buffer.data()), READER_REFUSED);
    EXPECT_EQ(buffer, (std::array<uint8_t, 4>{0xEE, 0xEE, 0xEE, 0xEE}));
    EXPECT_EQ(SetParameter(handle, 153, 1, buffer.data()), READER_REFUSED);
    EXPECT_EQ(GetParameter(handle, 192, 1, buffer.data()), READER_OK);
    EXPECT_EQ(SetParameter(handle, 154, 1, buffer.data()), READER_OK);
    CloseReader(handle);
}

TEST_P(Calls, LineNoiseBeforeAnswersIsSkipped)
{
    SimProcess sim({"--garbage"});
    const uint32_t handle = openVia(sim, GetParam());
    ASSERT_NE(handle, 0u);
    const uint8_t written[3] = {0xA5, 0x00, 0x05};   // bytes that look like a frame's start
    ASSERT_EQ(SetParameter(handle, 30, 3, written), READER_OK);
    for (int i = 0; i < 5; ++i) {
        uint8_t read[3] = {};
        ASSERT_EQ(GetParameter(handle, 30, 3, read), READER_OK);
        EXPECT_EQ(std::vector<uint8_t>(read, read + 3), std::vector<uint8_t>(written, written + 3));
    }
    CloseReader(handle);
}

INSTANTIATE_TEST_SUITE_P(Transports, Calls, ::testing::ValuesIn(everyVia()),
                         [](const auto& info) { return std::string(viaName(info.param)); });

TEST_F(LibraryTest, UsbPortComesFromTheEnvironment)
{
    SKIP_WITHOUT_PTY();
    SimProcess sim;
    ScopedEnv usb("READER_USB", sim.ptyPath());
    uint32_t handle = 0;
    ASSERT_EQ(OpenReader(&handle, READER_PORT_USB, nullptr), READER_OK);
    EXPECT_EQ(StopRFwork(handle), READER_OK);
    EXPECT_EQ(CloseReader(handle), READER_OK);
}

TEST_F(LibraryTest, HandlesAreDistinctAndNonZero)
{
    SKIP_WITHOUT_PTY();
    SimProcess sim;
    const uint32_t first = openVia(sim, Via::Tcp);
    const uint32_t second = openVia(sim, Via::Pty);
    EXPECT_NE(first, 0u);
    EXPECT_NE(second, 0u);
    EXPECT_NE(first, second);
    EXPECT_EQ(CloseReader(first), READER_OK);
    EXPECT_EQ(StopRFwork(second), READER_OK) << "closing one handle must not touch another";
    EXPECT_EQ(CloseReader(second), READER_OK);
}

} // namespace
