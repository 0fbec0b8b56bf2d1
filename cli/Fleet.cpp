#include "Fleet.h"

#include "Parallel.h"
#include "Reader.h"
#include "SystemLimits.h"

#include <exception>
#include <memory>
#include <mutex>
#include <ostream>

struct LineSink::Impl {
    std::mutex mutex;
};

LineSink::LineSink(std::ostream& out) : out_(out), impl_(std::make_shared<Impl>()) {}

void LineSink::line(const std::string& text)
{
    const std::lock_guard lock(impl_->mutex);
    out_ << text << '\n' << std::flush;
}

namespace {
void runOne(const PortArgument& port, const ReaderJob& job, LineSink& progress, ReaderOutcome& outcome,
            const std::function<bool()>& stop)
{
    outcome.port = port.label;
    if (stop && stop()) {
        outcome.reason = "not started: interrupted";
        progress.line(port.label + ": " + outcome.reason);
        return;
    }
    outcome.started = true;
    uint32_t handle = 0;
    uint16_t status = openReader(port, handle);
    if (status == READER_OK) {
        // The reader listens to settings only once its RF work has stopped; this is also the first call it answers.
        status = StopRFwork(handle);
        if (status != READER_OK)
            CloseReader(handle);
    }
    if (status != READER_OK) {
        outcome.reason = statusText(status);
        progress.line(port.label + ": " + outcome.reason);
        return;
    }
    outcome.reached = true;
    try {
        job(handle, outcome, progress);
    } catch (const std::exception& error) {
        // A thread's exception would end the program: this reader fails, the others go on.
        outcome.failures.push_back({"", std::string("stopped: ") + error.what()});
        progress.line(port.label + ": " + outcome.failures.back().reason);
    }
    CloseReader(handle);
}
} // namespace

std::vector<ReaderOutcome> runOnReaders(const std::vector<PortArgument>& ports, const ReaderJob& job, LineSink& progress,
                                        std::size_t atOnce, const std::function<bool()>& stop)
{
    std::vector<ReaderOutcome> outcomes(ports.size());
    const std::size_t pool = readersAtOnce(ports.size(), atOnce);
    const std::size_t threads = parallelFor(ports.size(), pool, [&](std::size_t i) {
        runOne(ports[i], job, progress, outcomes[i], stop);
    });
    if (threads < ports.size())
        progress.line("tagdesk-cli: " + std::to_string(ports.size()) + " readers went " + std::to_string(threads)
                      + " at a time" + (threads < pool ? ": the system refused more threads" : ""));
    return outcomes;
}
