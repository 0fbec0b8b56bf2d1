// readersim's exit codes: help, unusable command lines, a start that cannot succeed.
#include "SimProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/wait.h>

namespace {

int runReadersim(const std::string& args)
{
    const std::string command = std::string(READERSIM_PATH) + " " + args + " </dev/null >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct ExitCase {
    std::string args;
    int exitCode;
};

class CommandLineExit : public ::testing::TestWithParam<ExitCase> {};

TEST_P(CommandLineExit, EndsWithTheExpectedCode)
{
    EXPECT_EQ(runReadersim(GetParam().args), GetParam().exitCode) << GetParam().args;
}

INSTANTIATE_TEST_SUITE_P(All, CommandLineExit, ::testing::Values(
    ExitCase{"--help", 0},
    ExitCase{"--station 3 --help", 0},
    ExitCase{"--version", 0},
    ExitCase{"--silent extra", 2},
    ExitCase{"--bogus", 2},
    ExitCase{"--no-tcp --no-pty", 2},
    ExitCase{"--station 11", 2},
    ExitCase{"--tcp 127.0.0.1:0 --delay-ms", 2},
    ExitCase{"--tags tags.txt --tag-count 3", 2},
    ExitCase{"--tag-count 3 --tag-rate 0", 2},
    ExitCase{"--no-tcp --pty-link /nonexistent-folder/ttyReader", 1},
    ExitCase{"--no-tcp --tags /nonexistent-folder/tags.txt", 1},
    ExitCase{"--no-tcp --control /nonexistent-folder/reader.ctl", 1}));

TEST(CommandLine, PortAlreadyServedIsAStartFailure)
{
    SimProcess first({"--no-pty"});
    EXPECT_EQ(runReadersim("--no-pty --tcp 127.0.0.1:" + std::to_string(first.tcpPort())), 1);
}

} // namespace
