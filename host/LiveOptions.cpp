#include "host/LiveOptions.h"

namespace tolva::host {

void LiveOptions::publish(const SongOptions& options) {
    std::lock_guard<std::mutex> lock(mutex_);
    options_ = options;
    published_.fetch_add(1, std::memory_order_release);
}

bool LiveOptions::take(uint32_t& seen, SongOptions& options) {
    // Most blocks find nothing new, and pass without the lock.
    if (published_.load(std::memory_order_acquire) == seen)
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    options = options_;
    seen = published_.load(std::memory_order_relaxed);
    return true;
}

} // namespace tolva::host
