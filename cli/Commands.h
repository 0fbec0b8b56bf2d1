// tagdesk-cli's commands, on a command line already judged good. Each gives
// the exit status; results go to out (a table, or JSON Lines with --json),
// progress and errors to err. A refused profile throws ProfileError.
#pragma once

#include "CommandLine.h"

#include <iosfwd>

int readCommand(const Arguments& args, std::ostream& out, std::ostream& err);
int writeCommand(const Arguments& args, std::ostream& out, std::ostream& err);
int verifyCommand(const Arguments& args, std::ostream& out, std::ostream& err);
int diffCommand(const Arguments& args, std::ostream& out, std::ostream& err);
int scanCommand(const Arguments& args, std::ostream& out, std::ostream& err);
// Monitor.cpp: the tags readers send, until --duration, a signal or the port's link ends.
int monitorCommand(const Arguments& args, std::ostream& out, std::ostream& err);
