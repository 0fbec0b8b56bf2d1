// What a page routine needs from the window: the reader handle and the message log.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>

struct PageContext {
    std::function<uint32_t()> handle;             // the window's one reader handle
    std::function<void(const QString&)> log;      // appends one numbered line to the message log
};
