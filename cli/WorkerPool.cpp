#include "WorkerPool.h"

#include <algorithm>

namespace tolva::cli {

WorkerPool::WorkerPool(std::size_t count, std::function<void(std::size_t)> work)
    : count_(count), work_(std::move(work)) {
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    for (std::size_t i = 0; i < std::min(cores, count_); ++i)
        threads_.emplace_back([this] {
            for (std::size_t job = next_++; job < count_; job = next_++)
                work_(job);
        });
}

WorkerPool::~WorkerPool() {
    for (std::thread& thread : threads_)
        thread.join();
}

} // namespace tolva::cli
