#pragma once
#include <atomic>
#include <cstddef>
#include <functional>
#include <thread>
#include <vector>

namespace tolva::cli {

// Batch work on every core: calls `work` with each index from 0 to count - 1, one thread per
// core (no more threads than indices); a thread takes the next index as soon as it is done with
// one. The destructor waits for all of them.
class WorkerPool {
public:
    // With `callerHelps`, one core is left to the calling thread, which must then call help().
    WorkerPool(std::size_t count, std::function<void(std::size_t)> work, bool callerHelps);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // The calling thread takes indices too, until none is left; a single song is then done
    // without starting a thread at all.
    void help();

private:
    std::size_t count_;
    std::function<void(std::size_t)> work_;
    std::atomic<std::size_t> next_{0};
    std::vector<std::thread> threads_;
};

} // namespace tolva::cli
