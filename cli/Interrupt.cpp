#include "Interrupt.h"

#include <pthread.h>

namespace {
// How often the watcher looks whether it may end.
constexpr long watchNs = 20'000'000;
} // namespace

InterruptWatch::InterruptWatch()
{
    sigemptyset(&signals_);
    sigaddset(&signals_, SIGINT);
    sigaddset(&signals_, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals_, &before_);
    watcher_ = std::thread([this] { watch(); });
}

InterruptWatch::~InterruptWatch()
{
    done_ = true;
    watcher_.join();
    pthread_sigmask(SIG_SETMASK, &before_, nullptr);
}

void InterruptWatch::watch()
{
    const timespec wait{0, watchNs};
    while (!done_) {
        const int taken = sigtimedwait(&signals_, nullptr, &wait);
        if (taken <= 0)
            continue;
        int none = 0;
        if (signal_.compare_exchange_strong(none, taken))
            continue;
        // The second: the program ends now, by the signal's own action.
        std::signal(taken, SIG_DFL);
        sigset_t only;
        sigemptyset(&only);
        sigaddset(&only, taken);
        pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
        std::raise(taken);
    }
}
