// A port the user may not open is named as such, so the operator knows to
// join the group that owns it rather than look for a broken reader.
#include "CliFixture.h"

#include <fcntl.h>
#include <unistd.h>

#include <string>

namespace {
constexpr int kChildMayOpen = 255;   // the child could open the port after all: nothing to check

// Runs `tagdesk-cli read --port COM1` without root's rights, with COM1 standing
// for device; gives back its exit status and what it printed.
CliRun readAsOrdinaryUser(const std::string& device)
{
    return runAsOrdinaryUser([&device] {
        ::setenv("READER_COM1", device.c_str(), 1);
        if (::access(device.c_str(), R_OK | W_OK) == 0)
            return CliRun{kChildMayOpen, "", ""};
        const CliRun run = runTool({"read", "--port", "COM1"});
        return CliRun{run.status, run.out + run.err, ""};
    }, kChildMayOpen);
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
