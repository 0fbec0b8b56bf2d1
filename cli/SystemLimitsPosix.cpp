// POSIX: the limits are getrlimit's; the threads are pthreads with a stack of
// poolStackBytes instead of the default (RLIMIT_STACK, 8 MB on Linux).
#include "SystemLimits.h"

#include <algorithm>
#include <filesystem>
#include <new>
#include <pthread.h>
#include <sys/resource.h>

namespace {

// A reader's job calls the library and builds a few strings; the sanitizers'
// builds need several times what a release build does.
constexpr std::size_t poolStackBytes = 512 * 1024;

// Descriptors kept free for what else the program opens (a profile, the
// output file, the library's own), beyond those already open.
constexpr rlim_t spareDescriptors = 32;

// Threads kept free for the program's others (the calling thread, the
// interrupt watch) and the user's other processes, which count too.
constexpr rlim_t spareThreads = 16;

// The descriptors this process holds now; on a system without /proc, a guess.
rlim_t descriptorsOpen()
{
    std::error_code error;
    const auto count = std::distance(std::filesystem::directory_iterator("/proc/self/fd", error),
                                     std::filesystem::directory_iterator());
    return error ? 16 : rlim_t(count);
}

// What a soft limit leaves after spare, at least 1; wanted when it is no limit.
std::size_t within(rlim_t limit, rlim_t spare, std::size_t wanted)
{
    if (limit == RLIM_INFINITY)
        return wanted;
    return limit > spare ? std::min<std::size_t>(wanted, limit - spare) : 1;
}

} // namespace

std::size_t readersTheSystemAllows(std::size_t wanted)
{
    std::size_t allowed = std::max<std::size_t>(wanted, 1);
    if (rlimit files{}; ::getrlimit(RLIMIT_NOFILE, &files) == 0) {
        const rlim_t spare = descriptorsOpen() + spareDescriptors;
        const rlim_t needed = rlim_t(allowed) + spare;
        if (files.rlim_cur != RLIM_INFINITY && files.rlim_cur < needed) {
            rlimit raised = files;
            raised.rlim_cur = files.rlim_max == RLIM_INFINITY ? needed : std::min(needed, files.rlim_max);
            if (::setrlimit(RLIMIT_NOFILE, &raised) == 0)
                files = raised;
        }
        allowed = within(files.rlim_cur, spare, allowed);
    }
    if (rlimit threads{}; ::getrlimit(RLIMIT_NPROC, &threads) == 0)
        allowed = within(threads.rlim_cur, spareThreads, allowed);
    return allowed;
}

struct PoolThread::Impl {
    std::function<void()> body;
    pthread_t thread{};

    static void* run(void* impl)
    {
        static_cast<Impl*>(impl)->body();
        return nullptr;
    }
};

PoolThread::PoolThread() = default;
PoolThread::PoolThread(PoolThread&& other) noexcept = default;

PoolThread::~PoolThread()
{
    if (impl_)
        ::pthread_join(impl_->thread, nullptr);
}

bool PoolThread::start(std::function<void()> body)
{
    std::unique_ptr<Impl> impl;
    try {
        impl = std::make_unique<Impl>(Impl{std::move(body)});
    } catch (const std::bad_alloc&) {
        return false;
    }
    pthread_attr_t attributes;
    if (::pthread_attr_init(&attributes) != 0)
        return false;
    ::pthread_attr_setstacksize(&attributes, poolStackBytes);
    const int started = ::pthread_create(&impl->thread, &attributes, &Impl::run, impl.get());
    ::pthread_attr_destroy(&attributes);
    if (started != 0)
        return false;
    impl_ = std::move(impl);
    return true;
}
