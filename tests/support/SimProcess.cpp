#include "SimProcess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kReadyTimeout = std::chrono::seconds(5);
constexpr auto kStopTimeout = std::chrono::seconds(2);

// Reads one line from fd, giving up at the deadline. Returns false on timeout or EOF.
bool readLine(int fd, std::string& line, Clock::time_point deadline)
{
    line.clear();
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        char c = 0;
        const ssize_t n = ::read(fd, &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        if (c == '\n')
            return true;
        line.push_back(c);
    }
}

} // namespace

SimProcess::SimProcess(std::vector<std::string> extraArgs)
{
    std::vector<std::string> args = {READERSIM_PATH, "--tcp", "127.0.0.1:0"};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    std::vector<char*> argv;
    for (auto& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    const int spawned = ::posix_spawn(&pid_, READERSIM_PATH, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[1]);
    stdoutFd_ = ends[0];
    if (spawned != 0) {
        pid_ = -1;
        ::close(stdoutFd_);
        throw std::runtime_error(std::string("cannot start " READERSIM_PATH ": ") + std::strerror(spawned));
    }

    const auto deadline = Clock::now() + kReadyTimeout;
    std::string line;
    while (readLine(stdoutFd_, line, deadline)) {
        if (line == "ready")
            return;
        if (line.rfind("tcp ", 0) == 0) {
            const auto colon = line.rfind(':');
            tcpPort_ = static_cast<uint16_t>(std::stoul(line.substr(colon + 1)));
        } else if (line.rfind("pty ", 0) == 0) {
            ptyPath_ = line.substr(4);
        }
    }
    stop(SIGKILL);
    ::close(stdoutFd_);
    throw std::runtime_error("readersim did not report ready within 5 s");
}

bool SimProcess::ptyReachable()
{
    return true;
}

SimProcess::~SimProcess()
{
    stop(SIGTERM);
    if (stdoutFd_ >= 0)
        ::close(stdoutFd_);
}

void SimProcess::kill(int signal)
{
    stop(signal);
}

void SimProcess::stop(int signal)
{
    if (pid_ <= 0)
        return;
    ::kill(pid_, signal);
    const auto deadline = Clock::now() + kStopTimeout;
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_ || (done < 0 && errno != EINTR)) {
            waitStatus_ = done == pid_ ? status : -1;
            pid_ = -1;
            return;
        }
        if (Clock::now() >= deadline) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            waitStatus_ = status;
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}
