#include "SavedLineSettings.h"

namespace readerlib {

void SavedLineSettings::save(int fd)
{
    termios line{};
    if (::tcgetattr(fd, &line) == 0)
        settings_ = line;
}

void SavedLineSettings::restore(int fd) const
{
    // At once, not after the output drains: a line that does not take its
    // output must not hold up closing.
    if (settings_)
        ::tcsetattr(fd, TCSANOW, &*settings_);
}

} // namespace readerlib
