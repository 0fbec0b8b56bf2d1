// Windows: the text goes to a new file beside the target, is flushed to the
// disk (FlushFileBuffers) and takes the target's place: ReplaceFile when the
// target exists, so that it keeps its attributes and access rights, else
// MoveFileEx. A target that opens as no disk file (NUL, CON, a COM port, a
// named pipe) is written in place. Paths are in the system's code page, as the
// program's arguments.
#include "WholeFile.h"

#include <atomic>
#include <optional>
#include <string>
#include <windows.h>

namespace {

std::string systemMessage(DWORD error)
{
    char text[256];
    const DWORD size = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                        text, sizeof text, nullptr);
    std::string message(text, size);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return message.empty() ? "system error " + std::to_string(error) : message;
}

// A new file beside target, created only by us.
HANDLE createTemporary(const std::string& target, std::string& temporary)
{
    static std::atomic<unsigned> serial{0};
    const std::string::size_type slash = target.find_last_of("\\/:");
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = target.substr(folder.size());
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = folder + "." + name + "." + std::to_string(::GetCurrentProcessId()) + "."
            + std::to_string(serial++) + ".tmp";
        const HANDLE file = ::CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

bool writeAll(HANDLE file, std::string_view text)
{
    while (!text.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1u << 30));
        if (!::WriteFile(file, text.data(), chunk, &written, nullptr))
            return false;
        if (written == 0) {   // a pipe that takes nothing: no progress to wait for
            ::SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        text.remove_prefix(written);
    }
    return true;
}

// A device or a pipe at path is written in place: "" when done, else why not.
// nullopt when path opens as a disk file, or not at all (nothing there, or
// not to be opened now): that is replaced whole, which says why it cannot be.
std::optional<std::string> writeInPlace(const std::string& path, std::string_view text)
{
    const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    if (::GetFileType(file) == FILE_TYPE_DISK) {
        ::CloseHandle(file);
        return std::nullopt;
    }
    const bool done = writeAll(file, text);
    const DWORD error = ::GetLastError();
    ::CloseHandle(file);
    return done ? std::string() : systemMessage(error);
}

bool takePlace(const std::string& temporary, const std::string& target)
{
    if (::GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES
        && ::ReplaceFileA(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                          nullptr))
        return true;
    return ::MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

} // namespace

std::string writeWholeFile(const std::string& path, std::string_view text)
{
    if (std::optional<std::string> special = writeInPlace(path, text))
        return *special;
    std::string temporary;
    const HANDLE file = createTemporary(path, temporary);
    if (file == INVALID_HANDLE_VALUE)
        return systemMessage(::GetLastError());
    bool done = writeAll(file, text) && ::FlushFileBuffers(file);
    DWORD error = ::GetLastError();
    ::CloseHandle(file);
    if (done && !takePlace(temporary, path)) {
        done = false;
        error = ::GetLastError();
    }
    if (!done) {
        ::DeleteFileA(temporary.c_str());
        return systemMessage(error);
    }
    return {};
}
