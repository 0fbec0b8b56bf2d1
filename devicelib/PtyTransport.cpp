#include "PtyTransport.h"

#include "Reader.h"
#include "SerialLine.h"
#include "Status.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace readerlib {

std::unique_ptr<PtyTransport> PtyTransport::open(const std::string& path, uint16_t& status)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        status = READER_FAIL(READER_OPEN_FAILED, "terminal cannot be opened");
        return nullptr;
    }
    std::unique_ptr<PtyTransport> transport(new PtyTransport(fd));
    termios line{};
    if (!::isatty(fd) || ::tcgetattr(fd, &line) != 0) {
        status = READER_FAIL(READER_OPEN_FAILED, "not a terminal");
        return nullptr;
    }
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

PtyTransport::~PtyTransport()
{
    ::close(fd_);
}

uint16_t PtyTransport::send(const uint8_t* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd_, data, size);
        if (written > 0) {
            data += written;
            size -= static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd waiter{fd_, POLLOUT, 0};
            if (::poll(&waiter, 1, kSerialWriteTimeoutMs) <= 0)
                return READER_FAIL(READER_LINK_LOST, "terminal does not take data");
            continue;
        }
        return READER_FAIL(READER_LINK_LOST, "terminal write failed");
    }
    return READER_OK;
}

uint16_t PtyTransport::receive(uint8_t* buffer, std::size_t capacity, int timeoutMs, std::size_t& received)
{
    received = 0;
    if (timeoutMs > 0) {
        pollfd waiter{fd_, POLLIN, 0};
        int ready;
        do {
            ready = ::poll(&waiter, 1, timeoutMs);
        } while (ready < 0 && errno == EINTR);
        if (ready == 0)
            return READER_OK;
        if (ready < 0)
            return READER_FAIL(READER_LINK_LOST, "poll failed");
    }
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, capacity);
        if (got > 0) {
            received = static_cast<std::size_t>(got);
            return READER_OK;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return READER_OK;
        // EIO (or end of file): the other side of the terminal is gone.
        return READER_FAIL(READER_LINK_LOST, "terminal hung up");
    }
}

void PtyTransport::discardInput()
{
    ::tcflush(fd_, TCIFLUSH);
}

} // namespace readerlib
