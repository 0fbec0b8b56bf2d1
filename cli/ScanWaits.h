// The device library's waits while scan looks for readers: 500 ms for a TCP
// connection, 300 ms for an answer, through the library's environment
// settings (READER_CONNECT_TIMEOUT_MS, READER_TIMEOUT_MS), for this process
// only. What the user has set stays.
#pragma once

#include <string>
#include <vector>

class ScanWaits {
public:
    // Sets each variable the environment lacks; no other thread may run.
    ScanWaits();
    // Takes away again what it set.
    ~ScanWaits();
    ScanWaits(const ScanWaits&) = delete;
    ScanWaits& operator=(const ScanWaits&) = delete;

private:
    std::vector<std::string> set_;
};
