// One job run on many readers at once: each reader on its own handle and its
// own thread; open, stop its RF work, the job, close. Progress goes out as
// whole lines, never interleaved.
#pragma once

#include "PortArgument.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

// How one reader fared.
struct ReaderOutcome {
    std::string port;
    bool reached = false;          // opened and answered
    std::string reason;            // why not, when not reached
    std::size_t total = 0;         // values the job had for this reader
    std::size_t done = 0;          // values that went through
    std::vector<std::string> problems;   // one line each: a failed call or a difference, by parameter name
    bool interrupted = false;      // stopped by a signal before every value went out

    bool clean() const { return reached && !interrupted && problems.empty() && done == total; }
};

// Writes whole lines to a stream shared by the threads.
class LineSink {
public:
    explicit LineSink(std::ostream& out);
    void line(const std::string& text);

private:
    struct Impl;
    std::ostream& out_;
    std::shared_ptr<Impl> impl_;
};

// The job for one reader: it fills outcome (total, done, problems) and may report through progress.
using ReaderJob = std::function<void(uint32_t handle, ReaderOutcome& outcome, LineSink& progress)>;

// Runs job on every port in parallel, in the order given; returns the outcomes in that order.
std::vector<ReaderOutcome> runOnReaders(const std::vector<PortArgument>& ports, const ReaderJob& job, LineSink& progress);
