// A port the user may not open is named as such, so the operator knows to
// join the group that owns it rather than look for a broken reader.
#include "CliFixture.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <string>

namespace {
constexpr uid_t kNobody = 65534;
constexpr int kChildMayOpen = 255;   // the child could open the port after all: nothing to check

// Runs `tagdesk-cli read --port COM1` in a child without root's rights, with
// COM1 standing for device; gives back its exit status and what it printed.
CliRun readAsOrdinaryUser(const std::string& device)
{
    std::array<int, 2> pipe{};
    if (::pipe(pipe.data()) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe[0]);
        ::setenv("READER_COM1", device.c_str(), 1);
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            ::_exit(kChildMayOpen);
        if (::access(device.c_str(), R_OK | W_OK) == 0)
            ::_exit(kChildMayOpen);
        const CliRun run = runTool({"read", "--port", "COM1"});
        const std::string text = run.out + run.err;
        [[maybe_unused]] const ssize_t written = ::write(pipe[1], text.data(), text.size());
        ::_exit(run.status);
    }
    ::close(pipe[1]);
    CliRun run;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipe[0], buffer, sizeof buffer)) > 0;)
        run.out.append(buffer, std::size_t(n));
    ::close(pipe[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}
} // namespace

class AccessTest : public CliFixture {};

TEST_F(AccessTest, aPortTheUserMayNotOpenIsNamedSo)
{
    // A file only root may open stands in for a device node of the group dialout.
    const std::string device = "/tmp/tagdesk-cli-locked-" + std::to_string(::getpid());
    const int fd = ::open(device.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    ::close(fd);
    if (::geteuid() != 0)
        ::chmod(device.c_str(), 0);

    const CliRun run = readAsOrdinaryUser(device);
    ::unlink(device.c_str());
    if (run.status == kChildMayOpen)
        GTEST_SKIP() << "this user may open the port after all";
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("may not open the port"), std::string::npos) << run.out;
}
