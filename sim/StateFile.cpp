#include "StateFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace sim {

namespace {

std::string describe(const std::string& what, const std::string& path)
{
    return what + " " + path + ": " + std::strerror(errno);
}

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool writeAll(int fd, const uint8_t* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

LoadResult loadStateFile(const std::string& path, ParameterMemory& memory, std::string& error)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return LoadResult::Absent;
        error = describe("cannot open", path);
        return LoadResult::Unreadable;
    }
    ParameterMemory loaded{};
    std::size_t total = 0;
    uint8_t extra = 0;
    bool ok = true;
    // Read one byte more than the memory holds, to tell a longer file from a full one.
    for (;;) {
        uint8_t* target = total < loaded.size() ? loaded.data() + total : &extra;
        const std::size_t room = total < loaded.size() ? loaded.size() - total : 1;
        const ssize_t n = ::read(fd, target, room);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = describe("cannot read", path);
            ok = false;
            break;
        }
        if (n == 0)
            break;
        total += static_cast<std::size_t>(n);
        if (total > loaded.size())
            break;
    }
    ::close(fd);
    if (!ok)
        return LoadResult::Unreadable;
    if (total != loaded.size()) {
        error = path + " is not a reader state file (it must hold exactly 256 bytes)";
        return LoadResult::Unreadable;
    }
    memory = loaded;
    return LoadResult::Loaded;
}

bool lockStateFile(const std::string& path, std::string& error)
{
    const std::string lockPath = path + ".lock";
    // Left open (and so locked) until the process ends, however it ends.
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return true;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        error = path + " is in use by another readersim (" + lockPath + " is locked); give each its own --state file";
        ::close(fd);
        return false;
    }
    return true;
}

bool saveStateFile(const std::string& path, const ParameterMemory& memory, std::string& error)
{
    const std::string temporary = path + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = describe("cannot create", temporary);
        return false;
    }
    if (!writeAll(fd, memory.data(), memory.size()) || ::fsync(fd) != 0) {
        error = describe("cannot write", temporary);
        ::close(fd);
        ::unlink(temporary.c_str());
        return false;
    }
    if (::close(fd) != 0 || ::rename(temporary.c_str(), path.c_str()) != 0) {
        error = describe("cannot replace", path);
        ::unlink(temporary.c_str());
        return false;
    }
    // The rename itself must reach the disk, or a crash could bring back the old file.
    const int folder = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

} // namespace sim
