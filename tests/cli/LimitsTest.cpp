// A fleet larger than the threads the system gives the user: the pool goes on
// with the threads it has, and a write ends with its summary, every reader in
// it, never an abort half-way.
#include "CliFixture.h"

#include "Parallel.h"
#include "SilentPorts.h"

#include <atomic>
#include <chrono>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>

namespace {

constexpr rlim_t kThreads = 40;   // the user's limit in the child: processes and threads alike
constexpr int kSkipped = 254;     // the child could not take a user the limit binds

// Runs body as an ordinary user who may have only kThreads threads (root is
// not bound by that limit).
CliRun runWithFewThreads(const std::function<CliRun()>& body)
{
    return runAsOrdinaryUser([&body] {
        const rlimit few{kThreads, kThreads};
        return ::setrlimit(RLIMIT_NPROC, &few) == 0 ? body() : CliRun{kSkipped, "", ""};
    }, kSkipped);
}

class LimitsTest : public CliFixture {};

TEST_F(LimitsTest, aFleetLargerThanTheThreadsGivenEndsWithItsSummary)
{
    // The pool itself: 200 jobs on as many threads as asked for, where the system gives far fewer.
    const CliRun pool = runWithFewThreads([] {
        std::atomic<int> done{0};
        const std::size_t threads = parallelFor(200, 200, [&done](std::size_t) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            ++done;
        });
        return CliRun{0, std::to_string(done) + " jobs on " + std::to_string(threads) + " threads", ""};
    });
    if (pool.status == kSkipped)
        GTEST_SKIP() << "no user the limit of threads binds";
    EXPECT_EQ(pool.status, 0) << "ended by a signal, or exited, half-way";
    EXPECT_EQ(pool.out.rfind("200 jobs on ", 0), 0u) << pool.out;
    EXPECT_NE(pool.out, "200 jobs on 200 threads") << "the limit took no thread away";

    // A write to 100 readers that never answer, each on a port of its own.
    const SilentPorts silent(100);
    writeText(file("site.toml"), "format = 1\n[io_parameter]\nbuzzer = false\n");
    ::chmod(file("").c_str(), 0755);   // for nobody
    std::vector<std::string> args = {"write", file("site.toml"), "--json"};
    for (const std::string& port : silent.ports())
        args.insert(args.end(), {"--port", port});
    const CliRun write = runWithFewThreads([&args] {
        ::setenv("READER_TIMEOUT_MS", "100", 1);
        return runTool(args);
    });
    EXPECT_EQ(write.status, exit_status::failed) << "ended by a signal, or exited, half-way";
    const std::vector<Json> lines = jsonLines(write.out);
    ASSERT_EQ(lines.size(), silent.ports().size() + 1);
    for (std::size_t i = 0; i < silent.ports().size(); ++i)
        EXPECT_TRUE(holds(lines[i], {{"port", silent.ports()[i]}, {"result", "failed"},
                                     {"reason", "no answer from the reader"}}))
            << lines[i].dump();
    EXPECT_TRUE(holds(lines.back(), {{"type", "summary"}, {"readers", 100}, {"failed", 100}})) << lines.back().dump();
}

} // namespace
