// Work spread over at most a given number of threads, each taking the next
// item until none is left.
#pragma once

#include <cstddef>
#include <functional>

// Calls job(i) for every i below count, on at most workers threads at a time;
// returns when every call has. job must not throw.
void parallelFor(std::size_t count, std::size_t workers, const std::function<void(std::size_t)>& job);
