#include "Parallel.h"

#include "SystemLimits.h"

#include <algorithm>
#include <atomic>
#include <vector>

std::size_t parallelFor(std::size_t count, std::size_t workers, const std::function<void(std::size_t)>& job)
{
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i; (i = next++) < count;)
            job(i);
    };
    const std::size_t wanted = std::max<std::size_t>(std::min(count, workers), 1);
    std::vector<PoolThread> threads;   // joined as they go, whatever happens
    threads.reserve(wanted - 1);
    while (threads.size() + 1 < wanted) {
        PoolThread thread;
        if (!thread.start(work))
            break;
        threads.push_back(std::move(thread));
    }
    work();
    return threads.size() + 1;
}
