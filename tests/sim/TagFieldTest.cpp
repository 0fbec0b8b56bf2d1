// Tag files: a good one loads; a bad one is refused with its file, line and
// reason, however it is bad (a wrong ID, antenna or rate, a repeated ID, too
// long a line, too many lines, too large), and readersim does not start on it.
#include "SimProcess.h"
#include "TagField.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tag_field_test {

const std::string kId = "E2006816123456789ABCDEF0";

struct FileCase {
    const char* name;
    std::string text;
    std::string refusal;   // empty: the file loads
};

class TagFile : public ::testing::TestWithParam<FileCase> {
protected:
    TempFolder folder_{"readersim-tags"};
};

TEST_P(TagFile, LoadsOrIsRefusedWithLineAndReason)
{
    const std::string path = folder_.file("tags.txt");
    std::ofstream(path, std::ios::binary) << GetParam().text;
    std::string error;
    const auto tags = sim::loadTagFile(path, 2.5, error);
    if (GetParam().refusal.empty()) {
        ASSERT_TRUE(tags) << error;
        ASSERT_EQ(tags->size(), 3u);
        EXPECT_EQ(tags->at(0).antennas, sim::kEveryAntenna);
        EXPECT_EQ(tags->at(0).readsPerSecond, 2.5);
        EXPECT_EQ(tags->at(1).antennas, 0x04);
        EXPECT_EQ(tags->at(2).readsPerSecond, 0.05);
        return;
    }
    EXPECT_FALSE(tags);
    EXPECT_EQ(error, path + GetParam().refusal);
}

INSTANTIATE_TEST_SUITE_P(All, TagFile, ::testing::Values(
    FileCase{"good", "# a comment\n" + kId + "\n\n" + "e2006816123456789abcdef1 3  # lower case\r\n"
                         + "E2006816123456789ABCDEF2 * 0.05\n", ""},
    FileCase{"short_id", "E200\n", ":1: a tag ID is 24 hexadecimal digits, this one has 4"},
    FileCase{"not_hex", "\n" + kId.substr(0, 23) + "G\n", ":2: 'G' in the tag ID is no hexadecimal digit"},
    FileCase{"antenna_5", kId + " 5\n", ":1: the antenna is 1 to 4, or * for every antenna, not '5'"},
    FileCase{"rate_0", kId + " 1 0\n", ":1: reads per second are a number above 0 and at most 1000, not '0'"},
    FileCase{"rate_too_high", kId + " 1 1000.5\n",
             ":1: reads per second are a number above 0 and at most 1000, not '1000.5'"},
    FileCase{"four_fields", kId + " 1 2 3\n", ":1: a line holds a tag ID, an antenna and reads per second, no more"},
    FileCase{"same_id_twice", kId + "\nE2006816123456789ABCDEF1\n" + kId + " 2\n", ":3: the same tag ID as line 1"},
    FileCase{"long_line", kId + std::string(180, ' ') + "# comment\n", ":1: a line longer than 200 characters"},
    FileCase{"too_many_lines", std::string(sim::kMaxTagFileLines, '\n') + kId,
             ":1000001: more than 1000000 lines, more than a tag file may hold"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TagFileBounds, TooLargeIsRefusedUnreadAndReadersimDoesNotStart)
{
    TempFolder folder("readersim-tags");
    const std::string path = folder.file("huge.txt");
    std::ofstream(path) << "";
    std::filesystem::resize_file(path, sim::kMaxTagFileBytes + 1);   // sparse: nothing is written
    std::string error;
    EXPECT_FALSE(sim::loadTagFile(path, 1, error));
    EXPECT_EQ(error, path + ": 67108865 bytes, more than a tag file may hold (67108864)");
    EXPECT_THROW(SimProcess({"--tags", path}), std::runtime_error);
}

} // namespace tag_field_test
