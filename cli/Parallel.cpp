#include "Parallel.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

void parallelFor(std::size_t count, std::size_t workers, const std::function<void(std::size_t)>& job)
{
    std::atomic<std::size_t> next{0};
    std::vector<std::thread> threads;
    threads.reserve(std::min(count, workers));
    for (std::size_t t = 0; t < std::min(count, workers); ++t)
        threads.emplace_back([&] {
            for (std::size_t i; (i = next++) < count;)
                job(i);
        });
    for (std::thread& thread : threads)
        thread.join();
}
