#include "Diagnostics.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace sim {

namespace {
// A line no longer than this goes into a pipe in one piece once poll() says it is writable.
constexpr std::size_t kMaxLine = 512;
} // namespace

void logLine(const std::string& message)
{
    std::string line = "readersim: " + message;
    if (line.size() >= kMaxLine)
        line.resize(kMaxLine - 1);
    line += '\n';
    // stderr's file description may be shared with other processes (a shell's
    // terminal), so it is not made non-blocking; a poll() first tells whether
    // the write would wait.
    pollfd p{STDERR_FILENO, POLLOUT, 0};
    int ready;
    do {
        ready = ::poll(&p, 1, 0);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0 || (p.revents & POLLOUT) == 0)
        return;
    [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, line.data(), line.size());
}

} // namespace sim
