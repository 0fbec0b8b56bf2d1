// One job run on many readers at once: each reader on its own handle and a
// thread of a pool (Parallel.h) as large as the fleet, within what the system
// allows (SystemLimits.h) and the operator's --parallel; open, stop its RF
// work, the job, close. Progress goes out as whole lines, never interleaved.
#pragma once

#include "PortArgument.h"
#include "ReaderIdentity.h"
#include "ReaderTransfer.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// One parameter of one reader, for programs: where its value came from, what
// the reader is to hold, what it was found holding, and what came of it.
struct ValueReport {
    PlannedValue planned;              // source, the profile's value, the value to hold
    std::optional<ParaValue> held;     // what the reader holds, where it was read
    std::string heldBytes;             // ... in hexadecimal, where its bytes read as no value of their own
    std::optional<ParaValue> before;   // write --only-differing: what the reader held before the write
    std::string beforeBytes;           // ... as heldBytes
    // write: "written", "failed", "not_sent", "kept" (and "differs" after --verify; "agrees",
    // held already and not sent, with --only-differing);
    // verify: "agrees", "differs", "failed", "kept".
    std::string result;
};

// How one reader fared.
struct ReaderOutcome {
    std::string port;
    bool started = false;          // its turn came: it was opened, or tried
    bool reached = false;          // opened and answered
    std::string reason;            // why not, when not reached
    std::size_t total = 0;         // values the job had for this reader
    std::size_t done = 0;          // values that went through
    std::vector<TransferFailure> failures;      // a failed call, or why nothing was sent; by parameter name
    std::vector<ValueDifference> differences;   // left: the profile, right: what the reader holds
    std::vector<std::string> notSent;           // a write stopped by a signal: the values it did not send
    std::size_t secondTries = 0;                // a write's values sent once more after no answer
    std::size_t sent = 0;                       // a write's values sent (with --only-differing, those that differed)
    // Whether the profile was this reader's own, and why; none where it gave no own value at stake.
    std::optional<bool> restore;
    std::string ownership;
    std::vector<std::string> kept;              // the own values the reader kept, by name
    std::vector<ValueReport> values;            // write, verify: every parameter given, in table order

    bool interrupted() const { return !notSent.empty(); }
    bool clean() const
    {
        return reached && !interrupted() && failures.empty() && differences.empty() && done == total;
    }
};

// Writes whole lines to a stream shared by the threads. On a terminal (live)
// one more line stays below them, rewritten in place: how far the readers are.
class LineSink {
public:
    explicit LineSink(std::ostream& out, bool live = false);
    void line(const std::string& text);
    bool live() const { return live_; }
    // The live line's text; nothing when not live.
    void status(const std::string& text);
    // Takes the live line away.
    void endStatus();

private:
    void erase();

    struct Impl;
    std::ostream& out_;
    bool live_;
    std::shared_ptr<Impl> impl_;
};

// The job for one reader: it fills outcome (total, done, failures, ...) and may report through progress.
using ReaderJob = std::function<void(const PortArgument& port, uint32_t handle, ReaderOutcome& outcome,
                                     LineSink& progress)>;

// Runs job on every port in parallel, at most atOnce at a time (0: every one,
// as far as the system allows), in the order given; returns the outcomes in
// that order. A reader whose turn comes once stop() says so is not started.
// A live progress shows the readers done, those failed and the time taken.
std::vector<ReaderOutcome> runOnReaders(const std::vector<PortArgument>& ports, const ReaderJob& job, LineSink& progress,
                                        std::size_t atOnce = 0, const std::function<bool()>& stop = {});
