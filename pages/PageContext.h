// What a page routine needs from the window: the reader handle and the message log.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QWidget;

// Bytes that stand in for the reader: while lookup is set, read steps take
// their bytes from it (an address it has no bytes for is passed over), read
// steps are taken whatever their condition (the server's address outside
// client mode, the hopping mask on a fixed channel), write steps are passed
// over and routines log nothing. Loading a profile into the pages' controls runs the
// pages' own query routines this way, so every page's bindings serve it.
struct StoredBytes {
    std::function<std::optional<std::vector<uint8_t>>(uint8_t address)> lookup;
};

struct PageContext {
    std::function<uint32_t()> handle;             // the window's one reader handle
    std::function<void(const QString&)> log;      // appends one numbered line to the message log
    QWidget* dialogParent = nullptr;              // owner of the error box
    std::shared_ptr<StoredBytes> stored;          // shared by every page; may be null
};
