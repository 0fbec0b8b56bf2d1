// Windows: no per-user limit of threads or sockets to keep within; a thread's
// stack is only reserved until used, so std::thread's default costs little.
#include "SystemLimits.h"

#include <algorithm>
#include <exception>
#include <thread>

std::size_t readersTheSystemAllows(std::size_t wanted)
{
    return std::max<std::size_t>(wanted, 1);
}

struct PoolThread::Impl {
    std::thread thread;
};

PoolThread::PoolThread() = default;
PoolThread::PoolThread(PoolThread&& other) noexcept = default;

PoolThread::~PoolThread()
{
    if (impl_)
        impl_->thread.join();
}

bool PoolThread::start(std::function<void()> body)
{
    try {
        auto impl = std::make_unique<Impl>();
        impl->thread = std::thread(std::move(body));
        impl_ = std::move(impl);
        return true;
    } catch (const std::exception&) {   // std::system_error when refused, or no memory for it
        return false;
    }
}
