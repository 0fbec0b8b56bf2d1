#include "HandleTable.h"

namespace readerlib {

namespace {
constexpr std::size_t kMaxOpenLinks = 1024;
}

HandleTable& HandleTable::instance()
{
    static HandleTable table;
    return table;
}

uint32_t HandleTable::add(std::shared_ptr<Link> link)
{
    std::lock_guard lock(mutex_);
    if (links_.size() >= kMaxOpenLinks)
        return 0;
    // Next free non-zero number; with at most kMaxOpenLinks in use this ends quickly.
    do {
        ++lastHandle_;
    } while (lastHandle_ == 0 || links_.count(lastHandle_) != 0);
    links_.emplace(lastHandle_, std::move(link));
    return lastHandle_;
}

std::shared_ptr<Link> HandleTable::find(uint32_t handle)
{
    std::lock_guard lock(mutex_);
    const auto it = links_.find(handle);
    return it == links_.end() ? nullptr : it->second;
}

bool HandleTable::remove(uint32_t handle)
{
    std::shared_ptr<Link> closing;
    {
        std::lock_guard lock(mutex_);
        const auto it = links_.find(handle);
        if (it == links_.end())
            return false;
        closing = std::move(it->second);
        links_.erase(it);
    }
    // The transport closes here, outside the table's lock, unless a call in
    // another thread still holds the link.
    return true;
}

} // namespace readerlib
