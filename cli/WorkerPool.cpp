#include "WorkerPool.h"

#include <algorithm>

namespace tolva::cli {

WorkerPool::WorkerPool(std::size_t count, std::function<void(std::size_t)> work, bool callerHelps)
    : count_(count), work_(std::move(work)) {
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t threads = std::min(cores, count_) - (callerHelps && count_ > 0 ? 1 : 0);
    for (std::size_t i = 0; i < threads; ++i)
        threads_.emplace_back([this] { help(); });
}

WorkerPool::~WorkerPool() {
    for (std::thread& thread : threads_)
        thread.join();
}

void WorkerPool::help() {
    for (std::size_t job = next_++; job < count_; job = next_++)
        work_(job);
}

} // namespace tolva::cli
