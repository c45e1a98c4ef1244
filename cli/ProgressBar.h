#pragma once
#include <cstdint>

namespace tolva::cli {

// A one-line bar on stderr, drawn only when stderr is a terminal that moves its cursor; erased
// when done.
class ProgressBar {
public:
    ProgressBar(uint64_t total, uint32_t rate);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void update(uint64_t done);

private:
    void draw(uint64_t done);

    bool shown_;
    uint64_t total_;
    uint32_t rate_;
    int lastPermille_ = -1;
};

} // namespace tolva::cli
