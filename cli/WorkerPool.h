#pragma once
#include <atomic>
#include <cstddef>
#include <functional>
#include <thread>
#include <vector>

namespace tolva::cli {

// Batch work on every core: calls `work` with each index from 0 to count - 1, on one thread per
// core (no more threads than indices); a thread takes the next index as soon as it is done with
// one. The destructor waits for all of them.
class WorkerPool {
public:
    WorkerPool(std::size_t count, std::function<void(std::size_t)> work);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

private:
    std::size_t count_;
    std::function<void(std::size_t)> work_;
    std::atomic<std::size_t> next_{0};
    std::vector<std::thread> threads_;
};

} // namespace tolva::cli
