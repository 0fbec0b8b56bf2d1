// POSIX: both signals are blocked in this thread and every thread it starts
// from now on (so no library call is cut short), and taken by sigtimedwait()
// on a thread of the watch's own.
#include "Interrupt.h"

#include <pthread.h>
#include <thread>

namespace {
// How often the watcher looks whether it may end.
constexpr long watchNs = 20'000'000;
} // namespace

struct InterruptWatch::Listener {
    sigset_t signals{};
    sigset_t before{};
    std::atomic<bool> done{false};
    std::thread watcher;
};

InterruptWatch::InterruptWatch() : listener_(std::make_unique<Listener>())
{
    sigemptyset(&listener_->signals);
    sigaddset(&listener_->signals, SIGINT);
    sigaddset(&listener_->signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &listener_->signals, &listener_->before);
    const auto watch = [this] {
        const timespec wait{0, watchNs};
        while (!listener_->done) {
            const int taken = sigtimedwait(&listener_->signals, nullptr, &wait);
            if (taken <= 0 || takeFirst(taken))
                continue;
            // The second: the program ends now, by the signal's own action.
            std::signal(taken, SIG_DFL);
            sigset_t only;
            sigemptyset(&only);
            sigaddset(&only, taken);
            pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
            std::raise(taken);
        }
    };
    try {
        listener_->watcher = std::thread(watch);
    } catch (...) {
        // No thread to take them: the signals act as they always do.
        pthread_sigmask(SIG_SETMASK, &listener_->before, nullptr);
        throw;
    }
}

InterruptWatch::~InterruptWatch()
{
    listener_->done = true;
    listener_->watcher.join();
    pthread_sigmask(SIG_SETMASK, &listener_->before, nullptr);
}
