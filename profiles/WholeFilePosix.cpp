// POSIX: a temporary file beside the target (created with O_EXCL, given the
// target's permissions), fsync, rename over the target, and the folder synced
// so that the rename lasts.
#include "WholeFile.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
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
