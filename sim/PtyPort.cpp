#include "PtyPort.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

PtyPort openPtyPort(std::string& error)
{
    PtyPort port;
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0) {
        error = std::string("posix_openpt: ") + std::strerror(errno);
        return port;
    }
    char name[PATH_MAX] = {};
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 || ::ptsname_r(master, name, sizeof name) != 0) {
        error = std::string("cannot prepare the pseudo-terminal: ") + std::strerror(errno);
        ::close(master);
        return port;
    }
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) {
        error = std::string("cannot open ") + name + ": " + std::strerror(errno);
        ::close(master);
        return port;
    }
    // Raw bytes both ways: no echo of the reader's answers, no line editing, no CR/LF mapping.
    termios settings{};
    if (::tcgetattr(slave, &settings) == 0) {
        ::cfmakeraw(&settings);
        ::tcsetattr(slave, TCSANOW, &settings);
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    port.masterFd = master;
    port.slaveFd = slave;
    port.slavePath = name;
    return port;
}

bool linkPtyPort(const PtyPort& port, const std::string& linkPath, std::string& error)
{
    // Link under a temporary name, then rename over the target: a client never sees no link.
    const std::string temporary = linkPath + ".new";
    ::unlink(temporary.c_str());
    if (::symlink(port.slavePath.c_str(), temporary.c_str()) != 0
        || ::rename(temporary.c_str(), linkPath.c_str()) != 0) {
        error = "cannot link " + linkPath + " to " + port.slavePath + ": " + std::strerror(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

void unlinkPtyPort(const PtyPort& port, const std::string& linkPath)
{
    char target[PATH_MAX] = {};
    const ssize_t n = ::readlink(linkPath.c_str(), target, sizeof target - 1);
    if (n > 0 && port.slavePath == std::string(target, static_cast<std::size_t>(n)))
        ::unlink(linkPath.c_str());
}

void closePtyPort(PtyPort& port)
{
    if (port.masterFd >= 0)
        ::close(port.masterFd);
    if (port.slaveFd >= 0)
        ::close(port.slaveFd);
    port.masterFd = port.slaveFd = -1;
}

} // namespace sim
