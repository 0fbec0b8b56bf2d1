// The open files readersim may have: a fleet needs a listening socket a
// reader, a lock a reader with state files, and one more for each client.
#pragma once

#include <cstddef>

namespace sim {

// Raises the soft limit of open files to the hard one; returns the limit then
// in force (the largest size_t for no limit).
std::size_t raiseOpenFileLimit();

} // namespace sim
