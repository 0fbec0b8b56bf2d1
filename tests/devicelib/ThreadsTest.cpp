// Calls from several threads on one handle take turns on the link, and a
// handle closed while other threads use it ends their calls cleanly.
#include "LibraryFixture.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

constexpr int kThreads = 4;

TEST_F(LibraryTest, ConcurrentCallsOnOneHandleEachGetTheirOwnAnswer)
{
    SimProcess sim;
    const uint32_t handle = openVia(sim, Via::Tcp);
    ASSERT_NE(handle, 0u);
    for (int t = 0; t < kThreads; ++t) {
        const uint8_t value = static_cast<uint8_t>(0x40 + t);
        ASSERT_EQ(SetParameter(handle, static_cast<uint8_t>(100 + t), 1, &value), READER_OK);
    }
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int call = 0; call < 200; ++call) {
                uint8_t value = 0;
                if (GetParameter(handle, static_cast<uint8_t>(100 + t), 1, &value) != READER_OK || value != 0x40 + t)
                    ++wrong;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(wrong.load(), 0);
    CloseReader(handle);
}

TEST_F(LibraryTest, CloseWhileOtherThreadsCallEndsTheirCalls)
{
    SimProcess sim;
    const uint32_t handle = openVia(sim, Via::Tcp);
    ASSERT_NE(handle, 0u);
    std::atomic<int> unexpected{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (;;) {
                uint8_t value = 0;
                const uint16_t status = GetParameter(handle, 3, 1, &value);
                if (status == READER_BAD_HANDLE)
                    return;
                if (status != READER_OK)
                    ++unexpected;
            }
        });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(CloseReader(handle), READER_OK);
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(unexpected.load(), 0);
    EXPECT_EQ(CloseReader(handle), READER_BAD_HANDLE);
}

} // namespace
