#include "TimeText.h"

#include <cstdio>
#include <ctime>
#include <mutex>

namespace {

// strftime of time in local time or UTC, then its milliseconds. localtime and
// gmtime share one buffer in the C library: one caller at a time.
std::string timeText(WallTime time, bool utc, const char* format, const char* millisecondsFormat)
{
    static std::mutex calendar;
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count() % 1000;
    char text[64] = {};
    {
        const std::lock_guard lock(calendar);
        const std::tm* parts = utc ? std::gmtime(&seconds) : std::localtime(&seconds);
        if (parts == nullptr || std::strftime(text, sizeof text, format, parts) == 0)
            return "?";
    }
    char fraction[16];
    std::snprintf(fraction, sizeof fraction, millisecondsFormat, static_cast<int>(milliseconds));
    return text + std::string(fraction);
}

} // namespace

std::string clockText(WallTime time)
{
    return timeText(time, false, "%H:%M:%S", ".%03d");
}

std::string utcText(WallTime time)
{
    return timeText(time, true, "%Y-%m-%dT%H:%M:%S", ".%03dZ");
}
