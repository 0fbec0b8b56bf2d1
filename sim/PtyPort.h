// The virtual reader's serial port: a pseudo-terminal whose slave side a
// client opens like a serial device.
#pragma once

#include <string>

namespace sim {

struct PtyPort {
    int masterFd = -1;
    // Held open for the reader's whole life: without it the master sees a hang-up
    // each time a client closes the slave, and the line settings would be lost.
    int slaveFd = -1;
    std::string slavePath;
};

// Opens a raw-mode pseudo-terminal with a non-blocking master; masterFd stays -1
// on failure, with the reason in error.
PtyPort openPtyPort(std::string& error);

// Makes linkPath a symbolic link to the slave, replacing whatever is there.
bool linkPtyPort(const PtyPort& port, const std::string& linkPath, std::string& error);

// Removes linkPath if it still points to this port's slave.
void unlinkPtyPort(const PtyPort& port, const std::string& linkPath);

void closePtyPort(PtyPort& port);

} // namespace sim
