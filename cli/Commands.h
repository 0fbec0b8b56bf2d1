// tagdesk-cli's commands, on a command line already judged good. Each gives
// the exit status; results go to the console's out (a table, or JSON Lines
// with --json), progress and errors to its err. A refused profile or site
// file throws ProfileError.
#pragma once

#include "Cli.h"
#include "CommandLine.h"

int readCommand(const Arguments& args, const Console& console);
int writeCommand(const Arguments& args, const Console& console);
int verifyCommand(const Arguments& args, const Console& console);
int diffCommand(const Arguments& args, const Console& console);
int scanCommand(const Arguments& args, const Console& console);
// Monitor.cpp: the tags readers send, until --duration, a signal or the port's link ends.
int monitorCommand(const Arguments& args, const Console& console);
