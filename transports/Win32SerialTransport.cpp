#include "Win32SerialTransport.h"

#include "Reader.h"
#include "Status.h"
#include "Timeouts.h"

#include <algorithm>

namespace readerlib {

std::unique_ptr<Win32SerialTransport> Win32SerialTransport::open(const std::string& path, uint16_t& status)
{
    const HANDLE port = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        status = READER_FAIL_OPEN(path, static_cast<int>(::GetLastError()));
        return nullptr;
    }
    DCB line{};
    line.DCBlength = sizeof line;
    COMMTIMEOUTS timeouts{};
    if (!::GetCommState(port, &line) || !::GetCommTimeouts(port, &timeouts)) {
        ::CloseHandle(port);
        status = READER_FAIL(READER_OPEN_FAILED, "not a serial port");
        return nullptr;
    }
    std::unique_ptr<Win32SerialTransport> transport(new Win32SerialTransport(port, line, timeouts));
    // A raw byte channel: no flow control, no character replaced or dropped,
    // no error that stops the port until it is cleared.
    line.BaudRate = kSerialBaudRate;
    line.ByteSize = 8;
    line.Parity = NOPARITY;
    line.StopBits = ONESTOPBIT;
    line.fBinary = TRUE;
    line.fParity = FALSE;
    line.fOutxCtsFlow = FALSE;
    line.fOutxDsrFlow = FALSE;
    line.fDtrControl = DTR_CONTROL_ENABLE;
    line.fDsrSensitivity = FALSE;
    line.fOutX = FALSE;
    line.fInX = FALSE;
    line.fErrorChar = FALSE;
    line.fNull = FALSE;
    line.fRtsControl = RTS_CONTROL_ENABLE;
    line.fAbortOnError = FALSE;
    if (!::SetCommState(port, &line) || !transport->waitOnReadFor(kAnswerTimeoutMs)) {
        status = READER_FAIL(READER_OPEN_FAILED, "serial line settings refused");
        return nullptr;
    }
    status = READER_OK;
    return transport;
}

Win32SerialTransport::~Win32SerialTransport()
{
    ::SetCommState(port_, &originalLine_);
    ::SetCommTimeouts(port_, &originalTimeouts_);
    ::CloseHandle(port_);
}

bool Win32SerialTransport::waitOnReadFor(int waitMs)
{
    if (waitMs == readWaitMs_)
        return true;
    // A read returns once the bytes that came in one go are taken (no next
    // byte within 1 ms), else after waitMs with nothing. (The documented
    // "return at the first byte" setting, MAXDWORD intervals, is not used:
    // Wine waits out its whole time and miscounts writes under it.) Writes
    // give up after the send wait (kSendTimeoutMs).
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = 1;
    timeouts.ReadTotalTimeoutConstant = static_cast<DWORD>(waitMs);
    timeouts.WriteTotalTimeoutConstant = kSendTimeoutMs;
    if (!::SetCommTimeouts(port_, &timeouts))
        return false;
    readWaitMs_ = waitMs;
    return true;
}

uint16_t Win32SerialTransport::send(const uint8_t* data, std::size_t size)
{
    while (size > 0) {
        DWORD written = 0;
        if (!::WriteFile(port_, data, static_cast<DWORD>(size), &written, nullptr))
            return READER_FAIL(READER_LINK_LOST, "serial write failed");
        if (written == 0)
            return READER_FAIL(READER_LINK_LOST, "reader does not take data");
        data += written;
        size -= written;
    }
    return READER_OK;
}

uint16_t Win32SerialTransport::receive(uint8_t* buffer, std::size_t capacity, int timeoutMs, std::size_t& received)
{
    received = 0;
    DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(capacity, MAXDWORD));
    if (timeoutMs <= 0) {
        // No wait: take only what the port holds, which a read returns at once.
        DWORD errors = 0;
        COMSTAT held{};
        if (!::ClearCommError(port_, &errors, &held))
            return READER_FAIL(READER_LINK_LOST, "serial port state unreadable");
        wanted = std::min(wanted, held.cbInQue);
        if (wanted == 0)
            return READER_OK;
    } else if (!waitOnReadFor(timeoutMs)) {
        return READER_FAIL(READER_LINK_LOST, "serial timeouts refused");
    }
    DWORD got = 0;
    if (!::ReadFile(port_, buffer, wanted, &got, nullptr))
        return READER_FAIL(READER_LINK_LOST, "serial read failed");
    received = got;
    return READER_OK;
}

void Win32SerialTransport::discardInput()
{
    ::PurgeComm(port_, PURGE_RXCLEAR);
}

uint16_t Win32SerialTransport::setLineRate(uint32_t bitsPerSecond)
{
    DCB line{};
    line.DCBlength = sizeof line;
    if (!::GetCommState(port_, &line))
        return READER_FAIL(READER_LINK_LOST, "serial line settings unreadable");
    line.BaudRate = bitsPerSecond;
    if (!::SetCommState(port_, &line))
        return READER_FAIL(READER_LINK_LOST, "serial line rate refused");
    lineRate_ = bitsPerSecond;
    return READER_OK;
}

} // namespace readerlib
