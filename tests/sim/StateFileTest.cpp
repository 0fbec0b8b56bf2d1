// The state file: what is saved loads back, and a file that is not ours is never taken.
#include "DefaultMemory.h"
#include "StateFile.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

class StateFile : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return folder_.file(name); }

    void writeRaw(const std::string& file, std::size_t size, char fill)
    {
        std::ofstream out(file, std::ios::binary);
        out << std::string(size, fill);
    }

    TempFolder folder_{"readersim-state"};
};

TEST_F(StateFile, SavedMemoryLoadsBack)
{
    sim::ParameterMemory memory = sim::defaultParameterMemory();
    memory[0] = 0xAA;
    memory[208] = 3;
    memory[255] = 0x55;
    std::string error;
    ASSERT_TRUE(sim::saveStateFile(path("reader.state"), memory, error)) << error;
    EXPECT_FALSE(fs::exists(path("reader.state.tmp")));

    sim::ParameterMemory loaded{};
    ASSERT_EQ(sim::loadStateFile(path("reader.state"), loaded, error), sim::LoadResult::Loaded) << error;
    EXPECT_EQ(loaded, memory);
}

TEST_F(StateFile, SaveReplacesTheOldContent)
{
    sim::ParameterMemory first{}, second{};
    second[100] = 7;
    std::string error;
    ASSERT_TRUE(sim::saveStateFile(path("reader.state"), first, error));
    ASSERT_TRUE(sim::saveStateFile(path("reader.state"), second, error));
    sim::ParameterMemory loaded{};
    ASSERT_EQ(sim::loadStateFile(path("reader.state"), loaded, error), sim::LoadResult::Loaded);
    EXPECT_EQ(loaded[100], 7);
}

TEST_F(StateFile, MissingFileLeavesTheDefaults)
{
    sim::ParameterMemory memory = sim::defaultParameterMemory();
    std::string error;
    EXPECT_EQ(sim::loadStateFile(path("absent.state"), memory, error), sim::LoadResult::Absent);
    EXPECT_EQ(memory, sim::defaultParameterMemory());
}

TEST_F(StateFile, SaveIntoAMissingFolderFails)
{
    std::string error;
    EXPECT_FALSE(sim::saveStateFile(path("no/such/folder/reader.state"), sim::ParameterMemory{}, error));
    EXPECT_NE(error, "");
}

class StateFileSizes : public StateFile, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(StateFileSizes, FileOfTheWrongSizeIsRefusedAndMemoryKept)
{
    writeRaw(path("odd.state"), GetParam(), '\x07');
    sim::ParameterMemory memory = sim::defaultParameterMemory();
    std::string error;
    EXPECT_EQ(sim::loadStateFile(path("odd.state"), memory, error), sim::LoadResult::Unreadable);
    EXPECT_NE(error, "");
    EXPECT_EQ(memory, sim::defaultParameterMemory());
}

INSTANTIATE_TEST_SUITE_P(All, StateFileSizes, ::testing::Values(0u, 1u, 255u, 257u, 4096u));

TEST_F(StateFile, FolderInsteadOfFileIsRefused)
{
    fs::create_directory(path("dir.state"));
    sim::ParameterMemory memory{};
    std::string error;
    EXPECT_EQ(sim::loadStateFile(path("dir.state"), memory, error), sim::LoadResult::Unreadable);
}

} // namespace
