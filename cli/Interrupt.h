// SIGINT and SIGTERM while tagdesk-cli writes or monitors (on Windows: Ctrl+C
// and Ctrl+Break): the first asks every reader's thread to stop once the
// library call in flight has returned, so the summary can still say what each
// reader took or sent; a second ends the program at once. One file a system hears them
// (InterruptPosix.cpp, InterruptWindows.cpp).
#pragma once

#include <atomic>
#include <csignal>
#include <memory>

class InterruptWatch {
public:
    // Starts listening: from now on the first signal only asks to stop.
    InterruptWatch();
    // Stops listening; a signal not yet taken then acts as it always does.
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    // The first signal that came (SIGINT or SIGTERM), 0 while none has.
    int signal() const { return signal_.load(); }

private:
    // How this system delivers the signals to the watch.
    struct Listener;

    // Keeps signal as the first one; false when one came before.
    bool takeFirst(int signal)
    {
        int none = 0;
        return signal_.compare_exchange_strong(none, signal);
    }

    std::atomic<int> signal_{0};
    std::unique_ptr<Listener> listener_;
};

// "SIGINT" or "SIGTERM" for a signal the watch took; "" for none (0).
inline const char* signalName(int signal)
{
    return signal == 0 ? "" : signal == SIGINT ? "SIGINT" : "SIGTERM";
}
