// Prints how fast libReader makes GetParameter round trips against readersim
// over TCP loopback, next to a raw socket doing the same frames, and how long
// a page of 19 reads takes against a reader that never answers.
#include "RawPingPong.h"
#include "Reader.h"
#include "SimProcess.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr uint8_t kAddress = 192;
constexpr uint8_t kLength = 4;
constexpr int kRounds = 5000;
constexpr int kRepeats = 5;
constexpr int kPageCalls = 19;

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

} // namespace

int main()
{
    try {
        if (const int status = measureRoundTrips(); status != 0)
            return status;
        return measureSilentPage();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_link: %s\n", error.what());
        return 1;
    }
}
