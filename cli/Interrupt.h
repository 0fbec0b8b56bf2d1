// SIGINT and SIGTERM while tagdesk-cli writes: the first asks every reader's
// thread to stop once the library call in flight has returned, so the summary
// can still say what each reader took; a second ends the program at once.
#pragma once

#include <atomic>
#include <csignal>
#include <thread>

class InterruptWatch {
public:
    // Blocks both signals in this thread and every thread it starts from now
    // on (so no library call is cut short) and takes them on a thread of its own.
    InterruptWatch();
    // Unblocks them again; a signal not yet taken then acts as it always does.
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    // The first signal that came (SIGINT or SIGTERM), 0 while none has.
    int signal() const { return signal_.load(); }

private:
    void watch();

    sigset_t signals_{};
    sigset_t before_{};
    std::atomic<int> signal_{0};
    std::atomic<bool> done_{false};
    std::thread watcher_;
};
