// The open links by handle. Handles are non-zero and not reused while open;
// closing removes the entry, so a second close finds nothing.
#pragma once

#include "Link.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace readerlib {

class HandleTable {
public:
    static HandleTable& instance();

    // The new link's handle, or 0 when the table is full.
    uint32_t add(std::shared_ptr<Link> link);
    // The link, or null for 0, an unknown or a closed handle. The caller's
    // reference keeps the link alive while another thread closes the handle.
    std::shared_ptr<Link> find(uint32_t handle);
    // False when there was no such handle.
    bool remove(uint32_t handle);

private:
    std::mutex mutex_;
    std::unordered_map<uint32_t, std::shared_ptr<Link>> links_;
    uint32_t lastHandle_ = 0;
};

} // namespace readerlib
