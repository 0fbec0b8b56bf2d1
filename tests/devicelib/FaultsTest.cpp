// A reader that does not answer, answers late, or goes away.
#include "LibraryFixture.h"

#include <array>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace {

class Faults : public LibraryTest, public ::testing::WithParamInterface<Via> {};

// A page of 19 reads against a silent reader: every one fails with a timeout
// (how long that takes is measured by the link benchmark).
TEST_P(Faults, SilentReaderTimesOutEveryCall)
{
    ScopedEnv shortWait("READER_TIMEOUT_MS", "100");
    SimProcess sim({"--silent"});
    const uint32_t handle = openVia(sim, GetParam());
    ASSERT_NE(handle, 0u);
    for (int call = 0; call < 19; ++call) {
        std::array<uint8_t, 4> buffer{0xEE, 0xEE, 0xEE, 0xEE};
        EXPECT_EQ(GetParameter(handle, static_cast<uint8_t>(192 + call), 4, buffer.data()), READER_TIMEOUT) << call;
        EXPECT_EQ(buffer, (std::array<uint8_t, 4>{0xEE, 0xEE, 0xEE, 0xEE}));
    }
    CloseReader(handle);
}

// An answer that comes after its call gave up must never pass for the answer
// of a later call, whether it is already waiting when the next call starts or
// arrives while the next call waits.
TEST_P(Faults, LateAnswerIsNeverTakenForTheNextCall)
{
    // Answers come 180 ms after the impatient calls give up: a busy machine
    // cannot bring one in time by being slow to look at the clock.
    SimProcess sim({"--delay-ms", "300"});
    const uint32_t handle = openVia(sim, GetParam());
    ASSERT_NE(handle, 0u);
    const std::array<uint8_t, 4> atA{0x11, 0x11, 0x11, 0x11};
    const std::array<uint8_t, 4> atB{0x22, 0x22, 0x22, 0x22};
    {
        ScopedEnv patient("READER_TIMEOUT_MS", "2000");
        ASSERT_EQ(SetParameter(handle, 10, 4, atA.data()), READER_OK);
        ASSERT_EQ(SetParameter(handle, 20, 4, atB.data()), READER_OK);
    }
    {
        // Each call gives up before its answer; the answer then shows up while
        // the next call waits.
        ScopedEnv impatient("READER_TIMEOUT_MS", "120");
        int timeouts = 0;
        for (int call = 0; call < 8; ++call) {
            const bool askA = call % 2 == 0;
            std::array<uint8_t, 4> read{};
            const uint16_t status = GetParameter(handle, askA ? 10 : 20, 4, read.data());
            if (status == READER_OK)
                EXPECT_EQ(read, askA ? atA : atB) << "call " << call << " took another call's answer";
            else
                EXPECT_EQ(status, READER_TIMEOUT);
            timeouts += status == READER_TIMEOUT;
        }
        EXPECT_GT(timeouts, 0);
        std::array<uint8_t, 4> read{};
        EXPECT_EQ(GetParameter(handle, 10, 4, read.data()), READER_TIMEOUT);
    }
    // Let every late answer arrive; the next call must skip them and get its own.
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    ScopedEnv patient("READER_TIMEOUT_MS", "2000");
    std::array<uint8_t, 4> read{};
    ASSERT_EQ(GetParameter(handle, 20, 4, read.data()), READER_OK);
    EXPECT_EQ(read, atB);
    CloseReader(handle);
}

// After a timeout the link waits only briefly, but a slow reader that answers
// again gets the full wait back: the short wait must not outlast the silence.
TEST_P(Faults, SlowReaderGetsTheFullWaitBackOnceItAnswers)
{
    ScopedEnv wait("READER_TIMEOUT_MS", "400");
    SimProcess sim({"--station", "3", "--delay-ms", "120"});
    const uint32_t handle = openVia(sim, GetParam());
    ASSERT_NE(handle, 0u);
    uint8_t byte = 0;
    ASSERT_EQ(SelectStation(4), READER_OK);
    ASSERT_EQ(GetParameter(handle, 3, 1, &byte), READER_TIMEOUT);   // nobody answers station 4
    ASSERT_EQ(SelectStation(3), READER_OK);
    // 120 ms is longer than the short wait, so the first calls give up; their
    // late answers then show the reader is back, and the calls after succeed.
    std::vector<uint16_t> statuses;
    for (int call = 0; call < 10; ++call)
        statuses.push_back(GetParameter(handle, 3, 1, &byte));
    EXPECT_EQ(statuses[8], READER_OK);
    EXPECT_EQ(statuses[9], READER_OK);
    CloseReader(handle);
}

INSTANTIATE_TEST_SUITE_P(Transports, Faults, ::testing::ValuesIn(everyVia()),
                         [](const auto& info) { return std::string(viaName(info.param)); });

// A reader that takes D ms over each request, one at a time, loses one. The
// calls after it must not queue requests behind a reader still at work: at most
// D/20 + 2 of the next 30 fail, even when D is most of the full wait.
TEST_F(LibraryTest, OneLostRequestCostsAFewCallsNotAFlood)
{
    struct Row {
        Via via;
        int workMs;
        std::unique_ptr<SimProcess> sim;
        uint32_t handle = 0;
        uint16_t lost = READER_OK;
        int failed = 0;
    };
    std::vector<Row> rows;
    for (const Via via : everyVia())
        for (const int workMs : {50, 250})
            rows.push_back({via, workMs, std::make_unique<SimProcess>(std::vector<std::string>{
                                             "--work-ms", std::to_string(workMs), "--lose-frame", "2"})});
    // Opened one after the other (the port goes through the environment), then run at once.
    for (Row& row : rows)
        ASSERT_NE(row.handle = openVia(*row.sim, row.via), 0u);
    std::vector<std::thread> threads;
    for (Row& row : rows) {
        threads.emplace_back([&row] {
            uint8_t byte = 0;
            GetParameter(row.handle, 3, 1, &byte);
            row.lost = GetParameter(row.handle, 3, 1, &byte);
            for (int call = 0; call < 30; ++call)
                row.failed += GetParameter(row.handle, 3, 1, &byte) != READER_OK;
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (const Row& row : rows) {
        EXPECT_EQ(row.lost, READER_TIMEOUT) << viaName(row.via) << " D = " << row.workMs;
        EXPECT_LE(row.failed, row.workMs / 20 + 2) << viaName(row.via) << " D = " << row.workMs;
        CloseReader(row.handle);
    }
}

TEST_F(LibraryTest, ConnectionDroppedMidCallFailsAtOnce)
{
    // A long answer timeout: the call must end because the peer closed, not by waiting.
    ScopedEnv patient("READER_TIMEOUT_MS", "10000");
    SimProcess sim({"--silent", "--drop-after", "1"});
    const uint32_t handle = openVia(sim, Via::Tcp);
    ASSERT_NE(handle, 0u);
    uint8_t byte = 0;
    EXPECT_EQ(GetParameter(handle, 3, 1, &byte), READER_LINK_LOST);
    EXPECT_EQ(GetParameter(handle, 3, 1, &byte), READER_LINK_LOST);
    EXPECT_EQ(CloseReader(handle), READER_OK);
}

TEST_F(LibraryTest, ConnectionDroppedBetweenCallsFailsTheNextCall)
{
    ScopedEnv patient("READER_TIMEOUT_MS", "10000");
    SimProcess sim({"--drop-after", "2"});
    const uint32_t handle = openVia(sim, Via::Tcp);
    ASSERT_NE(handle, 0u);
    uint8_t byte = 0;
    EXPECT_EQ(GetParameter(handle, 3, 1, &byte), READER_OK);
    EXPECT_EQ(GetParameter(handle, 3, 1, &byte), READER_OK);
    EXPECT_EQ(GetParameter(handle, 3, 1, &byte), READER_LINK_LOST);
    EXPECT_EQ(CloseReader(handle), READER_OK);
}

TEST_F(LibraryTest, ReaderGoneFromThePseudoTerminalFailsTheLink)
{
    SKIP_WITHOUT_PTY();
    ScopedEnv patient("READER_TIMEOUT_MS", "10000");
    auto sim = std::make_unique<SimProcess>();
    const uint32_t handle = openVia(*sim, Via::Pty);
    ASSERT_NE(handle, 0u);
    sim.reset();
    uint8_t byte = 0;
    EXPECT_EQ(GetParameter(handle, 3, 1, &byte), READER_LINK_LOST);
    EXPECT_EQ(CloseReader(handle), READER_OK);
}

} // namespace
