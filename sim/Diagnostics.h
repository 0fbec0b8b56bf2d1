// readersim's diagnostics on stderr while it serves. Nobody may be reading
// stderr (a pipe left unread, a stopped terminal), and a reader that stops
// answering because its log is full is worse than a lost log line.
#pragma once

#include <string>

namespace sim {

// Writes "readersim: <message>\n" to stderr if it can take the line at once;
// otherwise the line is dropped.
void logLine(const std::string& message);

} // namespace sim
