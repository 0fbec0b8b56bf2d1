// Work spread over a pool of threads, each taking the next item until none is
// left; the calling thread is one of them.
#pragma once

#include <cstddef>
#include <functional>

// Calls job(i) for every i below count, on at most workers threads at a time;
// returns when every call has, with the number of threads that worked. A
// thread the system refuses leaves the pool smaller, never stops it: with the
// calling thread alone, the items go one after another. job must not throw.
std::size_t parallelFor(std::size_t count, std::size_t workers, const std::function<void(std::size_t)>& job);
