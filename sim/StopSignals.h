// SIGINT and SIGTERM turned into a readable descriptor (self-pipe), so the
// event loop notices them in poll() and ends cleanly.
#pragma once

namespace sim {

// Installs the handlers and ignores SIGPIPE; returns the read end, or -1 on failure.
int installStopSignals();

} // namespace sim
