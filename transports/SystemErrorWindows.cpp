#include "SystemError.h"

#include <windows.h>

namespace readerlib {

std::string systemErrorText(int error)
{
    char text[256];
    const DWORD size = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                      static_cast<DWORD>(error), 0, text, sizeof text, nullptr);
    std::string message(text, size);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return message.empty() ? "system error " + std::to_string(error) : message;
}

// Windows says "access denied" also for a port another program holds; that is
// no question of rights, so it stays READER_OPEN_FAILED there.
bool accessDenied(int)
{
    return false;
}

std::string groupWithAccess(const std::string&)
{
    return {};
}

} // namespace readerlib
