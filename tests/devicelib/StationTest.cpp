// The station byte: a reader answers its own station and "any station" only.
#include "LibraryFixture.h"

namespace {

struct StationCase {
    uint8_t selected;
    uint16_t expected;
};

TEST_F(LibraryTest, ReaderOnStation3AnswersOnly3AndAny)
{
    ScopedEnv shortWait("READER_TIMEOUT_MS", "100");
    SimProcess sim({"--station", "3"});
    const uint32_t handle = openVia(sim, Via::Tcp);
    ASSERT_NE(handle, 0u);
    const StationCase cases[] = {
        {3, READER_OK}, {4, READER_TIMEOUT}, {255, READER_OK}, {1, READER_TIMEOUT}, {3, READER_OK},
        // A request to another station that got no answer keeps no reader at station 3 busy.
        {4, READER_TIMEOUT}, {5, READER_TIMEOUT}, {3, READER_OK},
    };
    for (const StationCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "station " << int(c.selected));
        ASSERT_EQ(SelectStation(c.selected), READER_OK);
        uint8_t byte = 0;
        EXPECT_EQ(GetParameter(handle, 3, 1, &byte), c.expected);
    }
    CloseReader(handle);
}

} // namespace
