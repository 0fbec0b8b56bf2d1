// What the tagdesk-cli tests share: readersims on "COM1".."COM8" (their
// pseudo-terminals, through READER_COMn), a private folder for profiles and
// state files, and running a command in this process or a child of it.
#pragma once

#include "Cli.h"
#include "ParaTable.h"
#include "SimProcess.h"
#include "TempFolder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <fstream>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a command; input stands for its standard input, live for a terminal on standard error.
inline CliRun runTool(std::vector<std::string> args, const std::string& input = {}, bool live = false)
{
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    CliRun run;
    run.status = runCli(args, Console{in, out, err, live});
    run.out = out.str();
    run.err = err.str();
    return run;
}

inline std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// Runs body in a forked child once enter() has made the child what the test
// needs (cannotStatus when it could not). The run's status is body's, or 128 +
// the signal that ended the child; its output is body's.
inline CliRun runInChild(const std::function<bool()>& enter, const std::function<CliRun()>& body, int cannotStatus)
{
    int pipe[2];
    if (::pipe(pipe) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe[0]);
        if (!enter())
            ::_exit(cannotStatus);
        const CliRun run = body();
        [[maybe_unused]] const ssize_t written = ::write(pipe[1], run.out.data(), run.out.size());
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
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return run;
}

// For runInChild: a child of root becomes nobody, an ordinary user.
inline bool becomeOrdinaryUser()
{
    constexpr uid_t nobody = 65534;
    return ::geteuid() != 0 || (::setgroups(0, nullptr) == 0 && ::setgid(nobody) == 0 && ::setuid(nobody) == 0);
}

inline CliRun runAsOrdinaryUser(const std::function<CliRun()>& body, int cannotStatus)
{
    return runInChild(becomeOrdinaryUser, body, cannotStatus);
}

// How many values a profile read from a reader holds: one a parameter of the table.
inline const std::size_t everyValue = paraTable.size();
// How many of them a copy to another reader writes: all but the reader's own.
inline const std::size_t sharedValues =
    everyValue - std::size_t(std::count_if(paraTable.begin(), paraTable.end(), [](const Para& p) { return p.readersOwn; }));

// A summary's count when every value was done: "61/61".
inline std::string allDone(std::size_t values)
{
    return std::to_string(values) + "/" + std::to_string(values);
}

using Json = nlohmann::json;

// Each line of out as JSON; a line that is no JSON fails the test.
inline std::vector<Json> jsonLines(const std::string& out)
{
    std::vector<Json> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(Json::parse(line, nullptr, false));
        EXPECT_FALSE(lines.back().is_discarded()) << line;
    }
    return lines;
}

// Whether actual holds expected: every field of an expected object, every
// element of an expected array (of the same length), equal values.
inline bool holds(const Json& actual, const Json& expected)
{
    if (expected.is_object()) {
        for (const auto& [key, value] : expected.items())
            if (!actual.is_object() || !actual.contains(key) || !holds(actual[key], value))
                return false;
        return true;
    }
    if (expected.is_array()) {
        if (!actual.is_array() || actual.size() != expected.size())
            return false;
        for (std::size_t i = 0; i < expected.size(); ++i)
            if (!holds(actual[i], expected[i]))
                return false;
        return true;
    }
    return actual == expected;
}

// A command run with --json and what its lines must hold, one expected object a line.
struct JsonRun {
    std::vector<std::string> args;
    int status;
    std::vector<Json> lines;
};

inline void expectJsonRun(const JsonRun& run)
{
    const CliRun result = runTool(run.args);
    EXPECT_EQ(result.status, run.status) << run.args.front() << "\n" << result.out << result.err;
    const std::vector<Json> lines = jsonLines(result.out);
    ASSERT_EQ(lines.size(), run.lines.size()) << result.out;
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_TRUE(holds(lines[i], run.lines[i])) << "line " << i + 1 << " of " << run.args.front() << ":\n"
                                                   << lines[i].dump() << "\nlacks\n" << run.lines[i].dump();
}

class CliFixture : public testing::Test {
protected:
    std::string file(const std::string& name) const { return folder_.file(name); }

    // Starts a readersim as "COM<n>" (n = the count started so far + 1), keeping its
    // memory in the state file "state<n>" unless told not to (a write is answered
    // once it is on disk, which takes its time).
    SimProcess& startReader(std::vector<std::string> options = {}, bool keepState = true)
    {
        const int n = static_cast<int>(sims_.size()) + 1;
        if (keepState)
            options.insert(options.end(), {"--state", stateFile(n)});
        sims_.push_back(std::make_unique<SimProcess>(options));
        ::setenv(("READER_COM" + std::to_string(n)).c_str(), sims_.back()->ptyPath().c_str(), 1);
        return *sims_.back();
    }

    std::string stateFile(int n) const { return file("state" + std::to_string(n)); }

private:
    TempFolder folder_{"tagdesk-cli-test"};
    std::vector<std::unique_ptr<SimProcess>> sims_;   // stopped before their folder goes
};
