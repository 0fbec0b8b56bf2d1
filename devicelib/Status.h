// Every failing exit of the library goes through failWith(): it names the
// function and the reason in the trace (stderr, only when READER_TRACE is set)
// and gives back the status, so no early return is silent.
#pragma once

#include <cstdint>

namespace readerlib {

void trace(const char* function, const char* message);
uint16_t failWith(const char* function, uint16_t status, const char* why);

} // namespace readerlib

#define READER_FAIL(status, why) ::readerlib::failWith(__func__, (status), (why))
