// Prints how long a whole profile takes to write to eight readersims at once
// next to one after another, how long a read of every parameter takes next to
// (number of calls x one raw socket round trip), how long tagdesk-cli's
// scan takes over a /24 network where no connection is answered, and over
// one with two readers, how many of a fleet of 1,000 readers go at once, and
// how long tagdesk-cli write --verify takes for 1, 64, 256 and 1,000 readers of
// one readersim answering in 5 ms, with its memory and CPU time for 1,000.
#include "Fleet.h"
#include "PortName.h"
#include "ProfileFormat.h"
#include "RawPingPong.h"
#include "ReaderTransfer.h"
#include "Reader.h"
#include "Scan.h"
#include "SilentPorts.h"
#include "SimProcess.h"
#include "SystemLimits.h"
#include "TempFolder.h"
#include "WholeFile.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kReaders = 8;
constexpr int kRepeats = 5;
constexpr int kRawRounds = 2000;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Writes profile to ports and returns the seconds taken, or a negative value when a reader failed.
double writeAll(const std::vector<PortArgument>& ports, const Profile& profile)
{
    std::ostringstream quiet;
    LineSink progress(quiet);
    const auto start = Clock::now();
    const auto outcomes = runOnReaders(ports, [&](const PortArgument&, uint32_t handle, ReaderOutcome& outcome,
                                                  LineSink&) {
        outcome.total = profile.entries.size();
        outcome.done = outcome.total - writeReader(handle, profile).failures.size();
    }, progress);
    const double seconds = secondsSince(start);
    const bool clean = std::all_of(outcomes.begin(), outcomes.end(), [](const ReaderOutcome& o) { return o.clean(); });
    return clean ? seconds : -1;
}

int measureFleet(const Profile& profile)
{
    std::vector<std::unique_ptr<SimProcess>> sims;
    std::vector<PortArgument> ports;
    for (int n = 1; n <= kReaders; ++n) {
        sims.push_back(std::make_unique<SimProcess>());
        ::setenv(("READER_COM" + std::to_string(n)).c_str(), sims.back()->ptyPath().c_str(), 1);
        ports.push_back(*parsePort("COM" + std::to_string(n)));
    }
    double parallel = 1e9;
    double serial = 1e9;
    for (int repeat = 0; repeat < kRepeats; ++repeat) {
        const double together = writeAll(ports, profile);
        double oneByOne = 0;
        for (const PortArgument& port : ports) {
            const double one = writeAll({port}, profile);
            oneByOne = one < 0 || oneByOne < 0 ? -1 : oneByOne + one;
        }
        if (together < 0 || oneByOne < 0) {
            std::fprintf(stderr, "bench_profiles: a reader did not take the profile\n");
            return 1;
        }
        parallel = std::min(parallel, together);
        serial = std::min(serial, oneByOne);
    }
    std::printf("A profile of %zu values to %d readersims over pseudo-terminals, best of %d:\n",
                profile.entries.size(), kReaders, kRepeats);
    std::printf("  in parallel (a thread per reader): %8.1f ms\n", parallel * 1e3);
    std::printf("  one after another:                 %8.1f ms\n", serial * 1e3);
    std::printf("  one after another / parallel: %.2fx\n", serial / parallel);
    return 0;
}

int measureFullRead(Profile& profile)
{
    SimProcess sim;
    ::setenv("READER_TCP_PORT", std::to_string(sim.tcpPort()).c_str(), 1);
    uint32_t handle = 0;
    if (OpenReader(&handle, READER_PORT_TCP, "127.0.0.1") != READER_OK) {
        std::fprintf(stderr, "bench_profiles: cannot open the library's link to readersim\n");
        return 1;
    }
    double read = 1e9;
    double rawPerSecond = 0;
    for (int repeat = 0; repeat < kRepeats; ++repeat) {
        const auto start = Clock::now();
        ReadOutcome outcome = readReader(handle);
        const double seconds = secondsSince(start);
        if (!outcome.failures.empty()) {
            std::fprintf(stderr, "bench_profiles: %s: %s\n", outcome.failures.front().name.c_str(),
                         outcome.failures.front().reason.c_str());
            return 1;
        }
        profile = std::move(outcome.profile);
        read = std::min(read, seconds);
        rawPerSecond = std::max(rawPerSecond, rawRoundTripsPerSecond(sim.tcpPort(), 192, 1, kRawRounds));
    }
    CloseReader(handle);
    if (rawPerSecond <= 0) {
        std::fprintf(stderr, "bench_profiles: the raw socket failed\n");
        return 1;
    }
    const std::size_t calls = paraTable.size();
    const double floor = calls / rawPerSecond;
    std::printf("A read of every parameter over TCP loopback, best of %d:\n", kRepeats);
    std::printf("  readReader, %zu GetParameter calls: %8.3f ms\n", calls, read * 1e3);
    std::printf("  %zu x raw socket round trip (%.1f us): %8.3f ms\n", calls, 1e6 / rawPerSecond, floor * 1e3);
    std::printf("  read / (calls x raw): %.2fx\n", read / floor);
    return 0;
}

// The loopback hosts 127.0.<network>.1 .. 254 on port, answering no connection:
// each listens with a full queue of connections nobody accepts, so a further
// one gets no answer, as at an address where no host is.
class SilentNetwork {
public:
    SilentNetwork(int network, uint16_t port)
    {
        for (int host = 1; host <= 254; ++host) {
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_port = htons(port);
            address.sin_addr.s_addr = htonl(0x7F000000u | uint32_t(network) << 8 | uint32_t(host));
            const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
            const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            fds_.insert(fds_.end(), {listener, filler});
            if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener, 0) != 0)
                throw std::runtime_error("cannot listen on a loopback address");
            ::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
        }
    }
    ~SilentNetwork()
    {
        for (const int fd : fds_)
            ::close(fd);
    }

private:
    std::vector<int> fds_;
};

// The seconds scan takes over range for stations 1..10, and the readers it found.
double timeScan(const std::string& range, std::size_t& found)
{
    const std::vector<uint8_t> stations = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    const auto start = Clock::now();
    found = findReaders(rangePorts(*ports::tcpRange(range)), stations).size();
    return secondsSince(start);
}

int measureScan()
{
    const SimProcess first({"--no-pty", "--tcp", "127.0.5.20:0"});
    const std::string port = std::to_string(first.tcpPort());
    const SimProcess second({"--no-pty", "--tcp", "127.0.5.30:" + port, "--station", "4"});
    const SilentNetwork silent(6, first.tcpPort());
    std::size_t none = 0;
    std::size_t two = 0;
    const double unanswered = timeScan("tcp:127.0.6.0/24:" + port, none);
    const double readers = timeScan("tcp:127.0.5.0/24:" + port, two);
    if (none != 0 || two != 2) {
        std::fprintf(stderr, "bench_profiles: scan found %zu and %zu readers, not 0 and 2\n", none, two);
        return 1;
    }
    std::printf("tagdesk-cli scan of a /24 network for stations 1..10 (254 addresses, at most %zu at once),\n"
                "goal: a few seconds:\n", scanWorkers);
    std::printf("  no address answers the connection:  %6.2f s\n", unanswered);
    std::printf("  two readers (stations 1 and 4):     %6.2f s\n", readers);
    return 0;
}

long peakResidentKb()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A fleet of 1,000 readers that never answer: each waits out its answer time
// (500 ms), so all at once end in about that, where waves would take one each.
int measureLargeFleet()
{
    constexpr int kFleet = 1000;
    const SilentPorts silent(kFleet);
    std::vector<PortArgument> ports;
    for (const std::string& port : silent.ports())
        ports.push_back(*parsePort(port));
    const long residentBefore = peakResidentKb();
    std::ostringstream quiet;
    LineSink progress(quiet);
    const auto start = Clock::now();
    const std::size_t pool = readersAtOnce(kFleet, 0);
    const auto outcomes = runOnReaders(ports, [](const PortArgument&, uint32_t, ReaderOutcome&, LineSink&) {}, progress);
    const double seconds = secondsSince(start);
    const long residentAfter = peakResidentKb();
    const auto silentOnes = std::count_if(outcomes.begin(), outcomes.end(),
                                          [](const ReaderOutcome& o) { return o.started && !o.reached; });
    if (silentOnes != kFleet) {
        std::fprintf(stderr, "bench_profiles: %ld of %d readers went unanswered\n", long(silentOnes), kFleet);
        return 1;
    }
    std::printf("A fleet of %d readers that take the connection and never answer (500 ms each),\n"
                "goal: all in flight at once, not in waves:\n", kFleet);
    std::printf("  readers at once on this machine:  %zu\n", pool);
    std::printf("  the fleet done in:                %6.2f s (waves of 256 would take %.1f s)\n", seconds,
                0.5 * ((kFleet + 255) / 256));
    std::printf("  peak resident memory grew by:     %6.1f MB\n", (residentAfter - residentBefore) / 1024.0);
    return 0;
}

// What one run of tagdesk-cli cost.
struct CliRunCost {
    bool ok = false;            // it ended with exit status 0: every reader took and kept every value
    double seconds = 0;
    double cpuSeconds = 0;      // user and system
    long peakResidentKb = 0;
};

extern "C" char** environ;

CliRunCost runCli(const std::vector<std::string>& args)
{
    std::vector<std::string> all = {TAGDESK_CLI_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    CliRunCost cost;
    const auto start = Clock::now();
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, TAGDESK_CLI_PATH, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw std::runtime_error("cannot start " TAGDESK_CLI_PATH);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    cost.seconds = secondsSince(start);
    cost.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    cost.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    cost.peakResidentKb = usage.ru_maxrss;
    return cost;
}

// A process's resident memory now, in kB, from /proc.
long residentKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

// A process's CPU time so far (user and system), in seconds, from /proc.
double cpuSecondsOf(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    const std::string text((std::istreambuf_iterator<char>(stat)), {});
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    double ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i)
        if (i >= 14)
            ticks += std::stod(field);   // utime, stime
    return ticks / double(::sysconf(_SC_CLK_TCK));
}

// write --verify of one profile to 1, 64, 256 and 1,000 readers of one
// readersim whose every answer leaves 5 ms after its request came, each next
// to one reader; the goal is 1,000 at most twice one reader, 64 at most 1.05
// times, none failing.
int measureFleetWrite(const Profile& profile)
{
    constexpr uint32_t kFirst = 0x7F4D0001;   // 127.77.0.1
    constexpr std::size_t kCounts[] = {1, 64, 256, 1000};
    constexpr int kWriteRepeats = 3;
    const std::string last = ports::dotted(kFirst + 999);
    const SimProcess fleet({"--no-pty", "--tcp", ports::dotted(kFirst) + "-" + last + ":0", "--delay-ms", "5"});
    const SimProcess single({"--no-pty"});
    const long fleetKb = residentKb(fleet.pid());
    const long singleKb = residentKb(single.pid());

    const TempFolder folder("bench-profiles");
    const std::string file = folder.file("site.toml");
    if (const std::string error = writeWholeFile(file, profileText(profile, "bench_profiles")); !error.empty())
        throw std::runtime_error(error);

    std::printf("tagdesk-cli write --verify of a profile of %zu values to readers of one readersim\n"
                "answering 5 ms after each request, best of %d,\n"
                "goal: 1,000 readers at most 2.0x one reader, 64 at most 1.05x, none failing:\n",
                profile.entries.size(), kWriteRepeats);
    double one = 0;
    CliRunCost largest;
    double simCpu = 0;   // readersim's CPU time in the best run
    for (const std::size_t count : kCounts) {
        std::vector<std::string> args = {"write", file, "--verify"};
        for (std::size_t i = 0; i < count; ++i)
            args.insert(args.end(), {"--port", "tcp:" + ports::dotted(kFirst + uint32_t(i)) + ":"
                                                   + std::to_string(fleet.tcpPort())});
        CliRunCost best;
        int failed = 0;
        for (int repeat = 0; repeat < kWriteRepeats; ++repeat) {
            const double simBefore = cpuSecondsOf(fleet.pid());
            const CliRunCost cost = runCli(args);
            failed += !cost.ok;
            if (cost.ok && (!best.ok || cost.seconds < best.seconds)) {
                best = cost;
                simCpu = cpuSecondsOf(fleet.pid()) - simBefore;
            }
        }
        if (!best.ok) {
            std::fprintf(stderr, "bench_profiles: every write to %zu readers had a reader failing\n", count);
            return 1;
        }
        if (count == 1)
            one = best.seconds;
        largest = best;
        std::printf("  %5zu readers: %7.3f s  %5.2fx one reader%s\n", count, best.seconds, best.seconds / one,
                    failed ? ("  (" + std::to_string(failed) + " runs had a reader failing)").c_str() : "");
    }
    // Each reader: Stop RF work, then a write and a read back of every value.
    const double requests = 1000.0 * (2 * profile.entries.size() + 1);
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const double floor = (largest.cpuSeconds + simCpu) / cores;
    double load = 0;
    std::ifstream("/proc/loadavg") >> load;
    std::printf("  tagdesk-cli for 1,000 readers: peak resident memory %.1f MB, CPU time %.2f s\n",
                largest.peakResidentKb / 1024.0, largest.cpuSeconds);
    std::printf("  readersim's CPU time for them %.2f s; the two, a request: %.1f us; on %u cores that is\n"
                "  %.2f s at the least, %.2fx one reader (load average %.1f while measured)\n",
                simCpu, (largest.cpuSeconds + simCpu) / requests * 1e6, cores, floor, floor / one, load);
    std::printf("  readersim resident memory: %.1f MB for 1,000 readers, %.1f MB for one (%.2f kB a reader more)\n",
                fleetKb / 1024.0, singleKb / 1024.0, (fleetKb - singleKb) / 999.0);
    return 0;
}

} // namespace

int main()
{
    try {
        Profile profile;
        if (const int status = measureFullRead(profile); status != 0)
            return status;
        if (const int status = measureScan(); status != 0)
            return status;
        if (const int status = measureLargeFleet(); status != 0)
            return status;
        if (const int status = measureFleet(profile); status != 0)
            return status;
        return measureFleetWrite(profile);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_profiles: %s\n", error.what());
        return 1;
    }
}
