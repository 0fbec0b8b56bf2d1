#include "StateSaver.h"

#include "StateFile.h"

#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

namespace sim {

namespace {
// Saves at once: enough for the disk to commit many in one go, few enough to
// cost little memory. A thread starts when a save finds none idle.
constexpr std::size_t kSaveThreads = 32;
} // namespace

StateSaver::StateSaver() : fd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

StateSaver::~StateSaver()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        jobs_.clear();
    }
    wanted_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
    if (fd_ >= 0)
        ::close(fd_);
}

void StateSaver::save(std::size_t reader, const std::string& path, const ParameterMemory& memory)
{
    {
        const std::lock_guard lock(mutex_);
        jobs_.push_back({reader, path, memory});
        if (idle_ == 0 && threads_.size() < kSaveThreads)
            threads_.emplace_back([this] { work(); });
    }
    wanted_.notify_one();
}

std::vector<StateSaver::Done> StateSaver::done()
{
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = ::read(fd_, &count, sizeof count);
    std::vector<Done> taken;
    const std::lock_guard lock(mutex_);
    taken.swap(done_);
    return taken;
}

void StateSaver::work()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        ++idle_;
        wanted_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        --idle_;
        if (stopping_)
            return;
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        Done result{job.reader, false, {}};
        result.saved = saveStateFile(job.path, job.memory, result.error);
        lock.lock();
        done_.push_back(std::move(result));
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(fd_, &one, sizeof one);
    }
}

} // namespace sim
