// Watches who opens and closes the pseudo-terminal's slave, so that readersim
// can drop what it still owes a client that left: a real line loses what
// nobody listens to.
#pragma once

#include <string>

namespace sim {

class PtyClients {
public:
    // Watches slavePath (opens by readersim itself before this are not counted).
    // fd() stays -1 when the system cannot watch it; then nothing is ever reported.
    explicit PtyClients(const std::string& slavePath);
    ~PtyClients();
    PtyClients(const PtyClients&) = delete;
    PtyClients& operator=(const PtyClients&) = delete;

    // Readable when opens or closes are to be read.
    int fd() const { return fd_; }

    // Reads the pending events; true when the last client closed the slave.
    bool lastClientLeft();
    // Whether a client has the slave open now (after the events read).
    bool anyClient() const { return openClients_ > 0; }

private:
    int fd_ = -1;
    long openClients_ = 0;
};

} // namespace sim
