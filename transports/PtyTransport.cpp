#include "PtyTransport.h"

#include "Reader.h"
#include "SerialLine.h"
#include "Status.h"

#include <cerrno>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace readerlib {

std::unique_ptr<PtyTransport> PtyTransport::open(const std::string& path, uint16_t& status)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        status = READER_FAIL_OPEN(path, errno);
        return nullptr;
    }
    std::unique_ptr<PtyTransport> transport(new PtyTransport(fd));
    termios line{};
    if (!::isatty(fd) || ::tcgetattr(fd, &line) != 0) {
        status = READER_FAIL(READER_OPEN_FAILED, "not a terminal");
        return nullptr;
    }
    transport->original_.save(fd);
    // A raw byte channel: no echo, no line editing, no character translation.
    ::cfmakeraw(&line);
    line.c_cflag |= CLOCAL | CREAD;
    line.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS | CSTOPB);
    ::cfsetispeed(&line, B115200);
    ::cfsetospeed(&line, B115200);
    static_assert(kSerialBaudRate == 115200, "B115200 above follows the serial line rate");
    if (::tcsetattr(fd, TCSANOW, &line) != 0) {
        status = READER_FAIL(READER_OPEN_FAILED, "terminal settings refused");
        return nullptr;
    }
    status = READER_OK;
    return transport;
}

uint16_t PtyTransport::setLineRate(uint32_t bitsPerSecond)
{
    speed_t speed;
    switch (bitsPerSecond) {
    case 115200: speed = B115200; break;
    case 57600: speed = B57600; break;
    case 38400: speed = B38400; break;
    case 19200: speed = B19200; break;
    case 9600: speed = B9600; break;
    default: return READER_FAIL(READER_BAD_ARGUMENT, "no such terminal line rate");
    }
    termios line{};
    if (::tcgetattr(fd(), &line) != 0 || ::cfsetispeed(&line, speed) != 0 || ::cfsetospeed(&line, speed) != 0
        || ::tcsetattr(fd(), TCSANOW, &line) != 0)
        return READER_FAIL(READER_LINK_LOST, "terminal line rate refused");
    lineRate_ = bitsPerSecond;
    return READER_OK;
}

void PtyTransport::discardInput()
{
    ::tcflush(fd(), TCIFLUSH);
}

} // namespace readerlib
