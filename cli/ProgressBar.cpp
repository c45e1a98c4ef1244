#include "ProgressBar.h"

#include "Terminal.h"
#include "TimeText.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace tolva::cli {

namespace {
constexpr int Width = 40;
}

ProgressBar::ProgressBar(uint64_t total, uint32_t rate)
    : shown_(Terminal::movesCursor(STDERR_FILENO) && total > 0), total_(total), rate_(rate) {}

ProgressBar::~ProgressBar() {
    if (shown_ && lastPermille_ >= 0)
        std::fprintf(stderr, "\r\033[K");
}

void ProgressBar::update(uint64_t done) {
    if (!shown_)
        return;
    int permille = static_cast<int>(std::min<uint64_t>(done, total_) * 1000 / total_);
    if (permille == lastPermille_)
        return;
    lastPermille_ = permille;
    draw(std::min(done, total_));
}

void ProgressBar::draw(uint64_t done) {
    char bar[Width + 1];
    int filled = lastPermille_ * Width / 1000;
    for (int i = 0; i < Width; ++i)
        bar[i] = i < filled ? '#' : '.';
    bar[Width] = 0;
    auto ms = [this](uint64_t frames) { return static_cast<uint32_t>(frames * 1000 / rate_); };
    std::fprintf(stderr, "\r[%s] %3d%%  %s / %s", bar, lastPermille_ / 10,
                 minutesText(ms(done)).c_str(), minutesText(ms(total_)).c_str());
    std::fflush(stderr);
}

} // namespace tolva::cli
