// Prints how fast libReader makes GetParameter round trips against readersim
// over TCP loopback, next to a raw socket doing the same frames, how long a
// page of 19 reads takes against a reader that never answers, and how many
// calls one lost request costs with a reader that takes D ms over each request.
#include "RawPingPong.h"
#include "Reader.h"
#include "SimProcess.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr uint8_t kAddress = 192;
constexpr uint8_t kLength = 4;
constexpr int kRounds = 5000;
constexpr int kRepeats = 5;
constexpr int kPageCalls = 19;
constexpr int kCallsAfterLoss = 30;

using Clock = std::chrono::steady_clock;

double libraryRoundTripsPerSecond(uint32_t handle)
{
    uint8_t buffer[kLength];
    const auto start = Clock::now();
    for (int round = 0; round < kRounds; ++round) {
        if (GetParameter(handle, kAddress, kLength, buffer) != READER_OK)
            return -1;
    }
    const std::chrono::duration<double> elapsed = Clock::now() - start;
    return kRounds / elapsed.count();
}

int measureRoundTrips()
{
    SimProcess sim;
    ::setenv("READER_TCP_PORT", std::to_string(sim.tcpPort()).c_str(), 1);
    uint32_t handle = 0;
    if (OpenReader(&handle, READER_PORT_TCP, "127.0.0.1") != READER_OK) {
        std::fprintf(stderr, "bench_link: cannot open the library's link to readersim\n");
        return 1;
    }
    // Alternate the two so that both see the same machine load; keep the best run of each.
    double library = 0;
    double raw = 0;
    for (int repeat = 0; repeat < kRepeats; ++repeat) {
        const double libraryRun = libraryRoundTripsPerSecond(handle);
        const double rawRun = rawRoundTripsPerSecond(sim.tcpPort(), kAddress, kLength, kRounds);
        if (libraryRun < 0 || rawRun < 0) {
            std::fprintf(stderr, "bench_link: a round trip failed\n");
            return 1;
        }
        library = std::max(library, libraryRun);
        raw = std::max(raw, rawRun);
    }
    CloseReader(handle);
    std::printf("GetParameter(%d, %d) round trips over TCP loopback, best of %d x %d:\n", kAddress, kLength, kRepeats,
                kRounds);
    std::printf("  libReader:   %10.0f per second (%.1f us each)\n", library, 1e6 / library);
    std::printf("  raw socket:  %10.0f per second (%.1f us each)\n", raw, 1e6 / raw);
    std::printf("  raw / libReader: %.2fx (target: at most 1.30x)\n", raw / library);
    return 0;
}

int measureSilentPage()
{
    ::unsetenv("READER_TIMEOUT_MS");
    SimProcess sim({"--silent"});
    ::setenv("READER_TCP_PORT", std::to_string(sim.tcpPort()).c_str(), 1);
    uint32_t handle = 0;
    if (OpenReader(&handle, READER_PORT_TCP, "127.0.0.1") != READER_OK) {
        std::fprintf(stderr, "bench_link: cannot open the library's link to the silent readersim\n");
        return 1;
    }
    uint8_t buffer[kLength];
    int failed = 0;
    const auto start = Clock::now();
    for (int call = 0; call < kPageCalls; ++call)
        failed += GetParameter(handle, kAddress, kLength, buffer) != READER_OK;
    const std::chrono::duration<double> elapsed = Clock::now() - start;
    CloseReader(handle);
    std::printf("%d GetParameter calls against a silent reader: %.3f s, %d failed (target: within 1.0 s)\n",
                kPageCalls, elapsed.count(), failed);
    return 0;
}

// A reader that takes D ms over each request, one at a time, loses the second:
// the calls that fail among the 30 after the lost one.
struct LostRequestRun {
    int workMs;
    std::unique_ptr<SimProcess> sim;
    uint32_t handle = 0;
    int failed = -1;
};

void runAfterLostRequest(LostRequestRun& run)
{
    uint8_t buffer[kLength];
    if (GetParameter(run.handle, kAddress, kLength, buffer) != READER_OK
        || GetParameter(run.handle, kAddress, kLength, buffer) != READER_TIMEOUT)
        return;   // not the reader this measures
    run.failed = 0;
    for (int call = 0; call < kCallsAfterLoss; ++call)
        run.failed += GetParameter(run.handle, kAddress, kLength, buffer) != READER_OK;
}

int measureLostRequest()
{
    ::unsetenv("READER_TIMEOUT_MS");
    // One readersim and one link a row, all at once: the rows take as long as the slowest.
    std::vector<LostRequestRun> runs;
    for (const int workMs : {25, 50, 100, 150, 200, 250, 300}) {
        LostRequestRun run{workMs, std::make_unique<SimProcess>(std::vector<std::string>{
                                       "--no-pty", "--work-ms", std::to_string(workMs), "--lose-frame", "2"})};
        ::setenv("READER_TCP_PORT", std::to_string(run.sim->tcpPort()).c_str(), 1);
        if (OpenReader(&run.handle, READER_PORT_TCP, "127.0.0.1") != READER_OK) {
            std::fprintf(stderr, "bench_link: cannot open the library's link to the slow readersim\n");
            return 1;
        }
        runs.push_back(std::move(run));
    }
    std::vector<std::thread> threads;
    for (LostRequestRun& run : runs)
        threads.emplace_back(runAfterLostRequest, std::ref(run));
    for (std::thread& thread : threads)
        thread.join();
    std::printf("A reader taking D ms over each request, one at a time, loses one request;\n"
                "calls failed among the next %d (target: at most D/20 + 2):\n", kCallsAfterLoss);
    for (LostRequestRun& run : runs) {
        CloseReader(run.handle);
        if (run.failed < 0) {
            std::fprintf(stderr, "bench_link: the slow readersim did not lose its second request\n");
            return 1;
        }
        std::printf("  D = %3d ms: %2d failed (target: at most %.1f)\n", run.workMs, run.failed,
                    run.workMs / 20.0 + 2);
    }
    return 0;
}

} // namespace

int main()
{
    try {
        if (const int status = measureRoundTrips(); status != 0)
            return status;
        if (const int status = measureSilentPage(); status != 0)
            return status;
        return measureLostRequest();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_link: %s\n", error.what());
        return 1;
    }
}
