// A terminal line's settings as the library found them, put back when its
// link closes: a serial port or a user's own terminal named as a port is left
// as it was, echo and line editing included, not as the raw channel the link
// made of it.
#pragma once

#include <optional>
#include <termios.h>

namespace readerlib {

class SavedLineSettings {
public:
    // Keeps fd's settings; nothing is kept when fd is not a terminal.
    void save(int fd);
    // Puts the kept settings back on fd, if any.
    void restore(int fd) const;

private:
    std::optional<termios> settings_;
};

} // namespace readerlib
