// POSIX: a temporary file beside the target (created with O_EXCL, given the
// target's permissions), fsync, rename over the target, and the folder synced
// so that the rename lasts. A target that is there and no regular file is
// opened and written as a shell's ">" does.
#include "WholeFile.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The file a chain of symbolic links ends at (which need not exist yet).
fs::path linkTarget(fs::path path)
{
    constexpr int maxLinks = 40;   // as the system follows them
    std::error_code error;
    for (int i = 0; i < maxLinks && fs::is_symlink(path, error); ++i) {
        const fs::path next = fs::read_symlink(path, error);
        if (error)
            break;
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;
}

// A new file next to target, created only by us, with the permissions of
// target when it exists (else those the process gives new files).
int createTemporary(const fs::path& target, fs::path& temporary)
{
    static std::atomic<unsigned> serial{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = target;
        temporary.replace_filename("." + target.filename().string() + "." + std::to_string(::getpid()) + "."
                                   + std::to_string(serial++) + ".tmp");
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            struct stat existing {};
            if (fd >= 0 && ::stat(target.c_str(), &existing) == 0)
                ::fchmod(fd, existing.st_mode & 07777);
            return fd;
        }
    }
    return -1;
}

bool writeAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written == 0)
            errno = EIO;
        if (written <= 0)
            return false;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// SIGPIPE held off while this thread writes: a FIFO whose reader has gone
// makes the write fail with EPIPE instead of ending the program (the window too).
class PipeSignalHeld {
public:
    PipeSignalHeld()
    {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        pendingBefore_ = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &pipe_, &before_);
    }
    ~PipeSignalHeld()
    {
        // A SIGPIPE the write raised is taken, not delivered once unblocked.
        const timespec none{};
        if (!pendingBefore_)
            sigtimedwait(&pipe_, nullptr, &none);
        pthread_sigmask(SIG_SETMASK, &before_, nullptr);
    }
    PipeSignalHeld(const PipeSignalHeld&) = delete;
    PipeSignalHeld& operator=(const PipeSignalHeld&) = delete;

private:
    sigset_t pipe_{};
    sigset_t before_{};
    bool pendingBefore_ = false;
};

// A target that is there and no regular file (a FIFO, a device such as
// /dev/null, a terminal), also behind symbolic links, keeps its place: renaming
// over it would leave a regular file where it was. It is written in place, as
// cp does; "" when done, else why not. nullopt when the target is no such
// file: nothing there, or a regular file, which is replaced whole.
std::optional<std::string> writeInPlace(const std::string& path, std::string_view text)
{
    struct stat found {};
    if (::stat(path.c_str(), &found) != 0 || S_ISREG(found.st_mode))
        return std::nullopt;
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return std::strerror(errno);
    if (::fstat(fd, &found) == 0 && S_ISREG(found.st_mode)) {
        ::close(fd);   // a regular file took its place meanwhile: replaced whole after all
        return std::nullopt;
    }
    bool done = false;
    int error = 0;
    {
        const PipeSignalHeld held;
        done = writeAll(fd, text);
        error = errno;
    }
    if (::close(fd) != 0 && done) {
        done = false;
        error = errno;
    }
    return done ? std::string() : std::strerror(error);
}

// The rename itself lasts once the folder is synced.
void syncFolder(const fs::path& folder)
{
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

std::string writeWholeFile(const std::string& path, std::string_view text)
{
    if (std::optional<std::string> special = writeInPlace(path, text))
        return *special;
    const fs::path target = linkTarget(path);
    fs::path temporary;
    const int fd = createTemporary(target, temporary);
    if (fd < 0)
        return std::strerror(errno);
    bool done = writeAll(fd, text) && ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && done) {
        done = false;
        error = errno;
    }
    if (done && ::rename(temporary.c_str(), target.c_str()) != 0) {
        done = false;
        error = errno;
    }
    if (!done) {
        ::unlink(temporary.c_str());
        return std::strerror(error);
    }
    syncFolder(target.parent_path());
    return {};
}
