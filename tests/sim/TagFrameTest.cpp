// The bytes readersim sends for a tag under each frame format: the worked
// examples of docs/tag-output.md (the contract a host decodes by) and the
// edges of the codes and the tag ID window.
#include "DefaultMemory.h"
#include "TagFrame.h"

#include <gtest/gtest.h>

namespace tag_frame_test {

using Bytes = std::vector<uint8_t>;

// The tag of the document's examples.
const sim::TagId kTag = {0xE2, 0x00, 0x68, 0x16, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0};

struct FrameCase {
    const char* name;
    std::vector<std::pair<uint8_t, Bytes>> settings;   // on top of readersim's defaults
    Bytes sent;
};

class TagFrame : public ::testing::TestWithParam<FrameCase> {};

TEST_P(TagFrame, SettingsGiveTheseBytes)
{
    sim::ParameterMemory memory = sim::defaultParameterMemory();
    for (const auto& [address, bytes] : GetParam().settings)
        std::copy(bytes.begin(), bytes.end(), memory.begin() + address);
    EXPECT_EQ(sim::tagFrame(memory, kTag), GetParam().sent);
}

// Addresses: 64 data format, 65 tag ID window, 71 frame flags, 72 preamble code, 76 end code, 100 reader number.
INSTANTIATE_TEST_SUITE_P(All, TagFrame, ::testing::Values(
    FrameCase{"example1_hex_whole_id_between_stx_and_crlf", {},
              {0x02, 0x01, 0xE2, 0x00, 0x68, 0x16, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0, 0x0D, 0x0A}},
    FrameCase{"example2_ascii_reader_10_eight_bytes_from_2", {{64, {0x01}}, {100, {0x0A}}, {65, {0x28}}},
              {0x02, '0', 'A', '6', '8', '1', '6', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C',
               0x0D, 0x0A}},
    FrameCase{"example3_hex_four_byte_preamble_window_past_the_end",
              {{71, {0xB0}}, {72, {0xAA, 0xBB, 0xCC, 0xDD}}, {65, {0xA4}}, {76, {0x7E, 0xFF, 0xFF, 0xFF}}},
              {0xAA, 0xBB, 0xCC, 0xDD, 0xDE, 0xF0, 0x7E}},
    // Only exactly 1 is ASCII code; the codes stay bytes in ASCII code.
    FrameCase{"format_2_is_hex", {{64, {0x02}}, {71, {0x40}}, {100, {0xA5}}}, {0xA5}},
    FrameCase{"ascii_codes_stay_bytes", {{64, {0x01}}, {71, {0xD0}}, {72, {0xA5, 0xFF}}, {100, {0xA5}}},
              {0xA5, 'A', '5', 0x0D, 0x0A}},
    // The fill byte ends a code and is never sent; a code that begins with it is empty.
    FrameCase{"code_ends_at_its_first_fill_byte", {{71, {0x80}}, {72, {0x02, 0xFF, 0x03, 0x04}}}, {0x02}},
    FrameCase{"empty_codes_and_window_send_nothing", {{71, {0xB0}}, {72, {0xFF}}, {76, {0xFF}}, {65, {0xC4}}}, {}},
    FrameCase{"length_0_sends_no_id_bytes_flag_bits_0_to_3_ignored", {{71, {0x6F}}, {65, {0x30}}}, {0x01}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace tag_frame_test
