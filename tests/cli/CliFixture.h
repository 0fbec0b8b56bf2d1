// What the tagdesk-cli tests share: readersims on "COM1".."COM8" (their
// pseudo-terminals, through READER_COMn), a private folder for profiles and
// state files, and running a command in this process.
#pragma once

#include "Cli.h"
#include "SimProcess.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
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

inline CliRun runTool(std::vector<std::string> args)
{
    std::ostringstream out;
    std::ostringstream err;
    CliRun run;
    run.status = runCli(args, out, err);
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

class CliFixture : public testing::Test {
protected:
    std::string file(const std::string& name) const { return folder_.file(name); }

    // Starts a readersim as "COM<n>" (n = the count started so far + 1), keeping its
    // memory in the state file "state<n>".
    SimProcess& startReader(std::vector<std::string> options = {})
    {
        const int n = static_cast<int>(sims_.size()) + 1;
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
