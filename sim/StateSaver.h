// Saves the readers' state files on threads of its own, so that the loop
// serves on while the disk works and the writes of a fleet wait for the disk
// together, not one after another: each save is saveStateFile(), and what
// became of it comes back through fd(). A reader has one save at a time.
#pragma once

#include "ReaderState.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace sim {

class StateSaver {
public:
    struct Done {
        std::size_t reader;
        bool saved;
        std::string error;   // why not, when not saved
    };

    StateSaver();    // fd() stays -1 when the system gives no eventfd
    ~StateSaver();   // lets the saves begun end; drops those not begun
    StateSaver(const StateSaver&) = delete;
    StateSaver& operator=(const StateSaver&) = delete;

    // Readable when done() has something.
    int fd() const { return fd_; }
    void save(std::size_t reader, const std::string& path, const ParameterMemory& memory);
    std::vector<Done> done();

private:
    struct Job {
        std::size_t reader;
        std::string path;
        ParameterMemory memory;
    };
    void work();

    int fd_ = -1;
    std::mutex mutex_;
    std::condition_variable wanted_;
    std::deque<Job> jobs_;
    std::vector<Done> done_;
    std::size_t idle_ = 0;   // threads waiting for a job
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

} // namespace sim
