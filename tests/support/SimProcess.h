// Starts the virtual reader (readersim) for a test and stops it afterwards,
// by its process id. No Qt, so library and window tests can both use it.
// The library's tests built for Windows have readersim started on the Linux
// side by sim_relay instead (tests/windows/SimProcessRelay.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

class SimProcess {
public:
    // Starts readersim with --tcp 127.0.0.1:0 plus extraArgs and waits (at most 5 s)
    // until it prints "ready". Throws std::runtime_error if it does not get there.
    explicit SimProcess(std::vector<std::string> extraArgs = {});
    // SIGTERM, then SIGKILL if it has not ended after 2 s; always reaped.
    ~SimProcess();

    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    uint16_t tcpPort() const { return tcpPort_; }     // 0 if TCP is not served
    std::string ptyPath() const { return ptyPath_; }  // "" if no pty is served (or reached)

    // Whether the library can open readersim's pseudo-terminal from here:
    // not from Windows, where readersim runs on the Linux side of Wine.
    static bool ptyReachable();

    pid_t pid() const { return pid_; }

    // Sends the signal and reaps the process (SIGKILL after 2 s if it ignores the signal).
    void kill(int signal);
    // The waitpid() status of the reaped process, or -1 while it runs.
    int waitStatus() const { return waitStatus_; }

private:
    void stop(int signal);

    pid_t pid_ = -1;
    int stdoutFd_ = -1;
    uint16_t tcpPort_ = 0;
    std::string ptyPath_;
    int waitStatus_ = -1;
    std::uintptr_t relay_ = 0;   // on Windows: the connection to sim_relay that keeps readersim running
};
