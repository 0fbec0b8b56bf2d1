// The reader's answers to each kind of request, without any transport.
#include "DefaultMemory.h"
#include "ReaderState.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace {

using proto::Command;
using proto::ReaderStatus;
using Bytes = std::vector<uint8_t>;

constexpr uint8_t kStation = 1;

struct Expected {
    ReaderStatus status;
    Bytes payload;
};

struct Case {
    std::string name;
    uint8_t command;
    Bytes payload;
    Expected expected;
    // After the request, these addresses must hold these bytes.
    uint8_t checkAddress = 0;
    Bytes checkBytes = {};
};

uint8_t cmd(Command c) { return static_cast<uint8_t>(c); }

Bytes defaultsAt(unsigned address, unsigned length)
{
    const auto memory = sim::defaultParameterMemory();
    return Bytes(memory.begin() + address, memory.begin() + address + length);
}

// An Ok answer to a read or write begins with the request's address and length.
Bytes echoed(uint8_t address, uint8_t length, const Bytes& bytes = {})
{
    Bytes payload = {address, length};
    payload.insert(payload.end(), bytes.begin(), bytes.end());
    return payload;
}

frame::Frame request(uint8_t command, Bytes payload, uint8_t station = proto::kStationAny, uint8_t seq = 42)
{
    frame::Frame f;
    f.seq = seq;
    f.station = station;
    f.command = command;
    f.payload = std::move(payload);
    return f;
}

const Case kCases[] = {
    // Reads
    {"read channel 2 power", cmd(Command::GetParameter), {208, 1}, {ReaderStatus::Ok, echoed(208, 1, {15})}},
    {"read start frequency", cmd(Command::GetParameter), {80, 2}, {ReaderStatus::Ok, echoed(80, 2, {0x17, 0x70})}},
    {"read last byte", cmd(Command::GetParameter), {255, 1}, {ReaderStatus::Ok, echoed(255, 1, {0})}},
    {"read up to the very end", cmd(Command::GetParameter), {240, 16}, {ReaderStatus::Ok, echoed(240, 16, defaultsAt(240, 16))}},
    {"read whole memory but byte 0", cmd(Command::GetParameter), {1, 255}, {ReaderStatus::Ok, echoed(1, 255, defaultsAt(1, 255))}},
    {"read one past the end", cmd(Command::GetParameter), {240, 17}, {ReaderStatus::BadAddress, {}}},
    {"read far past the end", cmd(Command::GetParameter), {255, 255}, {ReaderStatus::BadAddress, {}}},
    {"read length 0", cmd(Command::GetParameter), {80, 0}, {ReaderStatus::BadAddress, {}}},
    {"read the off-line flag", cmd(Command::GetParameter), {87, 1}, {ReaderStatus::Ok, echoed(87, 1, {0})}},
    {"read without length", cmd(Command::GetParameter), {80}, {ReaderStatus::BadPayload, {}}},
    {"read with extra byte", cmd(Command::GetParameter), {80, 2, 0}, {ReaderStatus::BadPayload, {}}},
    // Writes
    {"write channel 2 power", cmd(Command::SetParameter), {208, 1, 10}, {ReaderStatus::Ok, echoed(208, 1)}, 208, {10}},
    {"write IP address", cmd(Command::SetParameter), {12, 4, 10, 0, 0, 7}, {ReaderStatus::Ok, echoed(12, 4)}, 12, {10, 0, 0, 7}},
    {"write next to the off-line flag", cmd(Command::SetParameter), {86, 1, 9}, {ReaderStatus::Ok, echoed(86, 1)}, 86, {9}},
    {"write the last byte", cmd(Command::SetParameter), {255, 1, 0xEE}, {ReaderStatus::Ok, echoed(255, 1)}, 255, {0xEE}},
    {"write the off-line flag", cmd(Command::SetParameter), {87, 1, 1}, {ReaderStatus::ReadOnly, {}}, 87, {0}},
    {"write a range over the off-line flag", cmd(Command::SetParameter), {84, 4, 1, 2, 3, 4},
     {ReaderStatus::ReadOnly, {}}, 84, defaultsAt(84, 4)},
    {"write past the end", cmd(Command::SetParameter), {255, 2, 1, 2}, {ReaderStatus::BadAddress, {}}, 255, {0}},
    {"write length 0", cmd(Command::SetParameter), {192, 0}, {ReaderStatus::BadAddress, {}}, 192, {15}},
    {"write fewer bytes than its length", cmd(Command::SetParameter), {192, 2, 7}, {ReaderStatus::BadPayload, {}}, 192, {15}},
    {"write more bytes than its length", cmd(Command::SetParameter), {192, 1, 7, 8}, {ReaderStatus::BadPayload, {}}, 192, {15}},
    {"write without address", cmd(Command::SetParameter), {}, {ReaderStatus::BadPayload, {}}},
    // The off-line switch
    {"off-line on", cmd(Command::SetOffLineEnable), {1}, {ReaderStatus::Ok, {}}, 87, {1}},
    {"off-line off", cmd(Command::SetOffLineEnable), {0}, {ReaderStatus::Ok, {}}, 87, {0}},
    {"off-line flag 2", cmd(Command::SetOffLineEnable), {2}, {ReaderStatus::BadPayload, {}}, 87, {0}},
    {"off-line without flag", cmd(Command::SetOffLineEnable), {}, {ReaderStatus::BadPayload, {}}, 87, {0}},
    // Identity and control
    {"firmware version", cmd(Command::GetFirmwareVersion), {}, {ReaderStatus::Ok, {1, 4, 0, 6}}},
    {"firmware version with payload", cmd(Command::GetFirmwareVersion), {1}, {ReaderStatus::BadPayload, {}}},
    {"stop RF work", cmd(Command::StopRfWork), {}, {ReaderStatus::Ok, {}}},
    {"stop RF work with payload", cmd(Command::StopRfWork), {0}, {ReaderStatus::BadPayload, {}}},
    {"baud rate", cmd(Command::SetBaudRate), {0}, {ReaderStatus::Ok, {}}},
    {"baud rate 9600, the last code", cmd(Command::SetBaudRate), {4}, {ReaderStatus::Ok, {}}},
    {"baud rate code undefined", cmd(Command::SetBaudRate), {5}, {ReaderStatus::BadPayload, {}}},
    {"baud rate code 255", cmd(Command::SetBaudRate), {255}, {ReaderStatus::BadPayload, {}}},
    {"baud rate without value", cmd(Command::SetBaudRate), {}, {ReaderStatus::BadPayload, {}}},
    {"reset keeps the memory", cmd(Command::ResetReader), {}, {ReaderStatus::Ok, {}}, 208, {15}},
    {"reset with payload", cmd(Command::ResetReader), {3}, {ReaderStatus::BadPayload, {}}},
    {"unknown command", 0x55, {1, 2}, {ReaderStatus::UnknownCommand, {}}},
};

class ReaderStateCommands : public ::testing::TestWithParam<Case> {};

TEST_P(ReaderStateCommands, AnswersWithStatusAndPayload)
{
    const Case& c = GetParam();
    sim::ReaderState reader({kStation, {1, 4, 0, 6}}, sim::defaultParameterMemory());
    const auto answer = reader.handle(request(c.command, c.payload));
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->seq, 42);
    EXPECT_EQ(answer->station, kStation);
    EXPECT_EQ(answer->command, c.command | proto::kAnswerBit);
    EXPECT_EQ(answer->status, static_cast<uint8_t>(c.expected.status));
    EXPECT_EQ(answer->payload, c.expected.payload);
    if (!c.checkBytes.empty()) {
        const auto& memory = reader.memory();
        EXPECT_EQ(Bytes(memory.begin() + c.checkAddress, memory.begin() + c.checkAddress + c.checkBytes.size()),
                  c.checkBytes);
    }
}

INSTANTIATE_TEST_SUITE_P(All, ReaderStateCommands, ::testing::ValuesIn(kCases),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return name;
                         });

TEST(ReaderState, WriteThenReadGivesTheBytesBack)
{
    sim::ReaderState reader({}, sim::defaultParameterMemory());
    ASSERT_EQ(reader.handle(request(cmd(Command::SetParameter), {162, 7, 1, 2, 3, 4, 5, 6, 7}))->status, 0);
    EXPECT_EQ(reader.handle(request(cmd(Command::GetParameter), {162, 7}))->payload, echoed(162, 7, {1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(reader.handle(request(cmd(Command::GetParameter), {161, 1}))->payload, echoed(161, 1, defaultsAt(161, 1)));
    EXPECT_EQ(reader.handle(request(cmd(Command::GetParameter), {169, 1}))->payload, echoed(169, 1, defaultsAt(169, 1)));
}

struct StationCase {
    uint8_t readerStation;
    uint8_t frameStation;
    bool answered;
};

class ReaderStateStations : public ::testing::TestWithParam<StationCase> {};

TEST_P(ReaderStateStations, AnswersOnlyItsOwnStationOrAny)
{
    const auto& c = GetParam();
    sim::ReaderState reader({c.readerStation, {1, 4, 0, 6}}, sim::defaultParameterMemory());
    const auto answer = reader.handle(request(cmd(Command::GetFirmwareVersion), {}, c.frameStation));
    ASSERT_EQ(answer.has_value(), c.answered);
    if (answer)
        EXPECT_EQ(answer->station, c.readerStation);
}

INSTANTIATE_TEST_SUITE_P(All, ReaderStateStations, ::testing::Values(
    StationCase{1, 1, true}, StationCase{1, 255, true}, StationCase{1, 2, false}, StationCase{1, 0, false},
    StationCase{7, 7, true}, StationCase{7, 255, true}, StationCase{7, 1, false}, StationCase{10, 10, true}));

TEST(ReaderState, IgnoredFrameChangesNothing)
{
    sim::ReaderState reader({3, {1, 4, 0, 6}}, sim::defaultParameterMemory());
    EXPECT_FALSE(reader.handle(request(cmd(Command::SetParameter), {208, 1, 4}, 1)).has_value());
    EXPECT_EQ(reader.memory()[208], 15);
}

struct RefusalCase {
    std::string name;
    sim::RefusedAddresses refused;
    uint8_t command;
    Bytes payload;
    ReaderStatus status;
};

class ReaderStateRefusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(ReaderStateRefusals, RefusesExactlyTheListedAddresses)
{
    const auto& c = GetParam();
    sim::ReaderState reader({}, sim::defaultParameterMemory(), c.refused);
    const auto before = reader.memory();
    const auto answer = reader.handle(request(c.command, c.payload));
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->status, static_cast<uint8_t>(c.status));
    if (c.status != ReaderStatus::Ok)
        EXPECT_EQ(reader.memory(), before);
}

const sim::RefusedAddresses kRead208And153{{208, 153}, {}};
const sim::RefusedAddresses kWrite208{{}, {208}};
const sim::RefusedAddresses kWrite87{{}, {87}};

INSTANTIATE_TEST_SUITE_P(All, ReaderStateRefusals, ::testing::Values(
    RefusalCase{"read_listed", kRead208And153, cmd(Command::GetParameter), {208, 1}, ReaderStatus::Failed},
    RefusalCase{"read_other_listed", kRead208And153, cmd(Command::GetParameter), {153, 1}, ReaderStatus::Failed},
    RefusalCase{"read_range_over_listed", kRead208And153, cmd(Command::GetParameter), {200, 16}, ReaderStatus::Failed},
    RefusalCase{"read_range_ending_before", kRead208And153, cmd(Command::GetParameter), {200, 8}, ReaderStatus::Ok},
    RefusalCase{"read_next_address", kRead208And153, cmd(Command::GetParameter), {209, 1}, ReaderStatus::Ok},
    RefusalCase{"write_with_read_refused", kRead208And153, cmd(Command::SetParameter), {208, 1, 3}, ReaderStatus::Ok},
    RefusalCase{"write_listed", kWrite208, cmd(Command::SetParameter), {208, 1, 3}, ReaderStatus::Failed},
    RefusalCase{"write_range_over_listed", kWrite208, cmd(Command::SetParameter), {207, 2, 3, 3}, ReaderStatus::Failed},
    RefusalCase{"read_with_write_refused", kWrite208, cmd(Command::GetParameter), {208, 1}, ReaderStatus::Ok},
    RefusalCase{"off_line_switch_refused", kWrite87, cmd(Command::SetOffLineEnable), {1}, ReaderStatus::Failed},
    RefusalCase{"off_line_switch_other_refused", kWrite208, cmd(Command::SetOffLineEnable), {1}, ReaderStatus::Ok}),
    [](const auto& info) { return info.param.name; });

TEST(ReaderState, WriteThatCannotBeKeptIsRefusedAndNotApplied)
{
    bool keep = false;
    int calls = 0;
    sim::ReaderState reader({}, sim::defaultParameterMemory(), {}, [&](const sim::ParameterMemory& next) {
        ++calls;
        EXPECT_EQ(next[192], 9);   // the hook sees the memory as it would become
        return keep;
    });
    EXPECT_EQ(reader.handle(request(cmd(Command::SetParameter), {192, 1, 9}))->status,
              static_cast<uint8_t>(ReaderStatus::Failed));
    EXPECT_EQ(reader.memory()[192], 15);
    keep = true;
    EXPECT_EQ(reader.handle(request(cmd(Command::SetParameter), {192, 1, 9}))->status, 0);
    EXPECT_EQ(reader.memory()[192], 9);
    EXPECT_EQ(calls, 2);
    // Refused requests never reach the disk.
    reader.handle(request(cmd(Command::SetParameter), {87, 1, 1}));
    reader.handle(request(cmd(Command::GetParameter), {192, 1}));
    EXPECT_EQ(calls, 2);
}

// A line that echoes would otherwise make the reader answer its own answers.
TEST(ReaderState, FramesWithTheAnswerBitGetNoAnswerAndChangeNothing)
{
    sim::ReaderState reader({}, sim::defaultParameterMemory());
    for (const uint8_t command : {uint8_t{0x80}, uint8_t{0x90}, uint8_t{0xA0}, uint8_t{0xA1}, uint8_t{0xA2}, uint8_t{0xB1}, uint8_t{0xFF}})
        EXPECT_FALSE(reader.handle(request(command, {100, 1, 9})).has_value()) << int(command);
    EXPECT_EQ(reader.memory(), sim::defaultParameterMemory());
    EXPECT_EQ(reader.resetCount(), 0u);
}

TEST(ReaderState, BaudRateAndResetNeverTouchTheStoredMemory)
{
    int saves = 0;
    sim::ReaderState reader({}, sim::defaultParameterMemory(), {}, [&](const sim::ParameterMemory&) {
        ++saves;
        return true;
    });
    EXPECT_EQ(reader.handle(request(cmd(Command::SetBaudRate), {3}))->status, 0);
    EXPECT_EQ(reader.handle(request(cmd(Command::ResetReader), {}))->status, 0);
    EXPECT_EQ(reader.baudRateCode(), 3);
    EXPECT_EQ(reader.resetCount(), 1u);
    EXPECT_EQ(reader.memory(), sim::defaultParameterMemory());
    EXPECT_EQ(saves, 0);
}

TEST(ReaderState, OffLineSwitchIsPersistedLikeAWrite)
{
    sim::ParameterMemory kept{};
    sim::ReaderState reader({}, sim::defaultParameterMemory(), {}, [&](const sim::ParameterMemory& next) {
        kept = next;
        return true;
    });
    ASSERT_EQ(reader.handle(request(cmd(Command::SetOffLineEnable), {1}))->status, 0);
    EXPECT_EQ(kept[proto::kOffLineAddress], 1);
}

TEST(DefaultMemory, ShipsAConsistentConfiguration)
{
    const auto memory = sim::defaultParameterMemory();
    // Power codes 2..15 are the reader's range.
    for (unsigned address : {192u, 208u, 224u, 240u}) {
        EXPECT_GE(memory[address], 2) << address;
        EXPECT_LE(memory[address], 15) << address;
    }
    // Start frequency inside 860..960 MHz, and the hopping mask covers exactly the listed channels.
    const unsigned offset = memory[80] * 256u + memory[81];
    EXPECT_LE(offset, 10000u);
    const unsigned channels = memory[83];
    ASSERT_GT(channels, 0u);
    ASSERT_LE(channels, 56u);
    for (unsigned channel = 0; channel < 56; ++channel) {
        const bool set = (memory[162 + channel / 8] >> (channel % 8)) & 1;
        EXPECT_EQ(set, channel < channels) << "channel " << channel + 1;
    }
    EXPECT_NE(memory[153] & 0x0F, 0) << "at least one work antenna";
    EXPECT_EQ(memory[87], 0) << "off-line function starts disabled";
}

} // namespace
