#include "Fleet.h"

#include "Parallel.h"
#include "Reader.h"
#include "Summary.h"
#include "SystemLimits.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <ostream>
#include <thread>

struct LineSink::Impl {
    std::mutex mutex;
    std::string status;   // the live line showing, "" for none
};

LineSink::LineSink(std::ostream& out, bool live) : out_(out), live_(live), impl_(std::make_shared<Impl>()) {}

// Blanks over the live line and back to its start; the caller holds the mutex.
void LineSink::erase()
{
    if (!impl_->status.empty())
        out_ << '\r' << std::string(impl_->status.size(), ' ') << '\r';
}

void LineSink::line(const std::string& text)
{
    const std::lock_guard lock(impl_->mutex);
    erase();
    out_ << text << '\n' << impl_->status << std::flush;
}

void LineSink::status(const std::string& text)
{
    if (!live_)
        return;
    const std::lock_guard lock(impl_->mutex);
    erase();
    impl_->status = text;
    out_ << text << std::flush;
}

void LineSink::endStatus()
{
    const std::lock_guard lock(impl_->mutex);
    erase();
    impl_->status.clear();
    out_ << std::flush;
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
        outcome.reason = openFailure(status, port);
        progress.line(port.label + ": " + outcome.reason);
        return;
    }
    outcome.reached = true;
    try {
        job(port, handle, outcome, progress);
    } catch (const std::exception& error) {
        // A thread's exception would end the program: this reader fails, the others go on.
        outcome.failures.push_back({"", std::string("stopped: ") + error.what()});
        progress.line(port.label + ": " + outcome.failures.back().reason);
    }
    CloseReader(handle);
}
} // namespace

namespace {

// The live line while readers are in flight: "12/20 readers done, 1 failed, 3.2 s",
// rewritten as each reader ends and every quarter second, so the time runs on.
class FleetProgress {
public:
    FleetProgress(LineSink& sink, std::size_t readers) : sink_(sink), readers_(readers)
    {
        if (!sink.live())
            return;
        show();
        try {
            ticker_ = std::thread([this] {
                std::unique_lock lock(mutex_);
                while (!ended_) {
                    cv_.wait_for(lock, std::chrono::milliseconds(250));
                    if (!ended_)
                        show();
                }
            });
        } catch (const std::system_error&) {
            // No thread to spare: the line moves as readers end.
        }
    }

    ~FleetProgress()
    {
        {
            const std::lock_guard lock(mutex_);
            ended_ = true;
        }
        cv_.notify_all();
        if (ticker_.joinable())
            ticker_.join();
        if (sink_.live())
            sink_.endStatus();
    }

    void ended(const ReaderOutcome& outcome)
    {
        ++done_;
        if (!outcome.clean())
            ++failed_;
        if (sink_.live())
            show();
    }

private:
    void show()
    {
        const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - start_;
        sink_.status(std::to_string(done_) + "/" + std::to_string(readers_) + " readers done, "
                     + std::to_string(failed_) + " failed, " + secondsText(taken.count()));
    }

    LineSink& sink_;
    const std::size_t readers_;
    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::atomic<std::size_t> done_{0};
    std::atomic<std::size_t> failed_{0};
    std::mutex mutex_;
    std::condition_variable cv_;
    bool ended_ = false;
    std::thread ticker_;
};

} // namespace

std::vector<ReaderOutcome> runOnReaders(const std::vector<PortArgument>& ports, const ReaderJob& job, LineSink& progress,
                                        std::size_t atOnce, const std::function<bool()>& stop)
{
    std::vector<ReaderOutcome> outcomes(ports.size());
    const std::size_t pool = readersAtOnce(ports.size(), atOnce);
    std::size_t threads = 0;
    {
        FleetProgress live(progress, ports.size());
        threads = parallelFor(ports.size(), pool, [&](std::size_t i) {
            runOne(ports[i], job, progress, outcomes[i], stop);
            live.ended(outcomes[i]);
        });
    }
    if (threads < ports.size())
        progress.line("tagdesk-cli: " + std::to_string(ports.size()) + " readers went " + std::to_string(threads)
                      + " at a time" + (threads < pool ? ": the system refused more threads" : ""));
    return outcomes;
}
