// tagdesk-cli's commands (read, write, verify, diff, scan, monitor) over the
// device library and the parameter table. main() hands its arguments here.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace exit_status {
constexpr int ok = 0;        // every reader took (or holds) every value; profiles agree
constexpr int failed = 1;    // a reader, a value or a difference did not come out right; scan found none
constexpr int refused = 2;   // bad command line or refused profile: nothing was sent
// A write stopped by a signal (SIGINT 130, SIGTERM 143), as a shell reports a program it ended.
constexpr int interrupted(int signal) { return 128 + signal; }
} // namespace exit_status

// Where a command reads and writes: "-" files from in, results to out,
// progress and errors to err; on a terminal (live) err also shows one line that
// keeps the count of readers done.
struct Console {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool live = false;
};

// args without the program name.
int runCli(const std::vector<std::string>& args, const Console& console);
