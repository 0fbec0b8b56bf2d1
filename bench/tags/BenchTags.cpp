// Prints how much a tag field that is being read slows readersim's answers:
// GetParameter round trips through libReader over TCP while 100,000 tags are
// read 5,000 times a second (their frames going to every TCP client, the
// library's link among them), next to the same readersim in master-slave
// mode, and their ratio; with the frames a second a client received, and the
// CPU time readersim spent idle and reading.
#include "Reader.h"
#include "SimProcess.h"

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kTags = 100000;
constexpr const char* kTagRate = "0.05";   // 100,000 x 0.05 = 5,000 reads a second
constexpr int kRounds = 2000;
constexpr int kRepeats = 5;
constexpr std::size_t kFrameSize = 16;     // readersim's default frame: STX, reader number, 12-byte ID, CR LF

// Reads and counts everything readersim sends to one more TCP client, as a host would.
class FrameCounter {
public:
    explicit FrameCounter(uint16_t port)
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
            throw std::runtime_error("cannot connect to readersim");
        thread_ = std::thread([this] {
            uint8_t buffer[65536];
            while (!stop_) {
                pollfd p{fd_, POLLIN, 0};
                if (::poll(&p, 1, 50) <= 0)
                    continue;
                const ssize_t n = ::read(fd_, buffer, sizeof buffer);
                if (n <= 0)
                    return;
                bytes_ += static_cast<std::size_t>(n);
            }
        });
    }
    ~FrameCounter()
    {
        stop_ = true;
        thread_.join();
        ::close(fd_);
    }
    std::size_t frames() const { return bytes_ / kFrameSize; }

private:
    int fd_ = -1;
    std::atomic<bool> stop_{false};
    std::atomic<std::size_t> bytes_{0};
    std::thread thread_;
};

// CPU seconds (user and system) the process has used so far.
double cpuSeconds(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto afterName = text.rfind(')');
    if (afterName == std::string::npos)
        return 0;
    // Fields after the name: state is field 3; utime and stime are fields 14 and 15.
    std::size_t at = afterName + 2;
    for (int field = 3; field < 14; ++field)
        at = text.find(' ', at) + 1;
    const double user = std::strtod(text.c_str() + at, nullptr);
    const double system = std::strtod(text.c_str() + text.find(' ', at) + 1, nullptr);
    return (user + system) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

double roundTripSeconds(uint32_t handle)
{
    uint8_t buffer[4];
    const auto start = Clock::now();
    for (int round = 0; round < kRounds; ++round)
        if (GetParameter(handle, 192, sizeof buffer, buffer) != READER_OK)
            return -1;
    return std::chrono::duration<double>(Clock::now() - start).count() / kRounds;
}

bool setWorkMode(uint32_t handle, uint8_t mode)
{
    return SetParameter(handle, 128, 1, &mode) == READER_OK;
}

constexpr auto kWatch = std::chrono::seconds(2);

// The share of one core readersim uses while it is left to what it does.
double cpuShare(pid_t pid)
{
    const double before = cpuSeconds(pid);
    std::this_thread::sleep_for(kWatch);
    return (cpuSeconds(pid) - before) / std::chrono::duration<double>(kWatch).count();
}

int run()
{
    SimProcess sim({"--no-pty", "--tag-count", std::to_string(kTags), "--tag-rate", kTagRate});
    ::setenv("READER_TCP_PORT", std::to_string(sim.tcpPort()).c_str(), 1);
    uint32_t handle = 0;
    if (OpenReader(&handle, READER_PORT_TCP, "127.0.0.1") != READER_OK) {
        std::fprintf(stderr, "bench_tags: cannot open the library's link to readersim\n");
        return 1;
    }
    // Frames to every TCP client, a read round every 10 ms.
    const uint8_t tcpOutput = 0x10;
    const uint8_t round = 1;
    if (SetParameter(handle, 130, 1, &tcpOutput) != READER_OK || SetParameter(handle, 129, 1, &round) != READER_OK) {
        std::fprintf(stderr, "bench_tags: cannot set readersim up\n");
        return 1;
    }
    FrameCounter counter(sim.tcpPort());

    const double idleCpu = cpuShare(sim.pid());
    // Alternate the two so that both see the same machine load; keep the best run of each.
    double without = 1e9;
    double with = 1e9;
    for (int repeat = 0; repeat < kRepeats; ++repeat) {
        if (!setWorkMode(handle, 1))
            return 1;
        const double quiet = roundTripSeconds(handle);
        if (!setWorkMode(handle, 2))
            return 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const double reading = roundTripSeconds(handle);
        if (quiet < 0 || reading < 0) {
            std::fprintf(stderr, "bench_tags: a round trip failed\n");
            return 1;
        }
        without = std::min(without, quiet);
        with = std::min(with, reading);
    }
    const std::size_t framesBefore = counter.frames();
    const auto start = Clock::now();
    const double readingCpu = cpuShare(sim.pid());
    const double framesASecond =
        (counter.frames() - framesBefore) / std::chrono::duration<double>(Clock::now() - start).count();
    CloseReader(handle);

    std::printf("GetParameter round trips over TCP loopback, best of %d x %d, %d tags at %s reads a second each:\n",
                kRepeats, kRounds, kTags, kTagRate);
    std::printf("  not reading (master-slave): %8.1f us\n", without * 1e6);
    std::printf("  reading (timing mode):      %8.1f us\n", with * 1e6);
    std::printf("  reading / not reading: %.2fx (target: at most 1.20x)\n", with / without);
    std::printf("tag frames a client received while reading: %.0f a second (target: 5000)\n", framesASecond);
    std::printf("readersim's CPU time: %.1f%% idle, %.1f%% reading\n", idleCpu * 100, readingCpu * 100);
    return 0;
}

} // namespace

int main()
{
    try {
        return run();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_tags: %s\n", error.what());
        return 1;
    }
}
