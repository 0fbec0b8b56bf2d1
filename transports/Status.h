// Every failing exit of the library goes through failWith(): it names the
// function and the reason in the trace (stderr, only when READER_TRACE is set)
// and gives back the status, so no early return is silent.
#pragma once

#include <cstdint>
#include <string>

namespace readerlib {

void trace(const char* function, const char* message);
uint16_t failWith(const char* function, uint16_t status, const char* why);

// A serial port or terminal at path that the system would not open
// (systemError: errno, or GetLastError() on Windows): READER_ACCESS_DENIED
// when it refused this user, READER_OPEN_FAILED for any other reason. The trace names the path, the
// system's reason and, when access was denied, the group that may open it.
uint16_t failToOpen(const char* function, const std::string& path, int systemError);

} // namespace readerlib

#define READER_FAIL(status, why) ::readerlib::failWith(__func__, (status), (why))
#define READER_FAIL_OPEN(path, systemError) ::readerlib::failToOpen(__func__, (path), (systemError))
