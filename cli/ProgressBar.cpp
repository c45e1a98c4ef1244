#include "ProgressBar.h"

#include "Terminal.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace tolva::cli {

namespace {
constexpr int Width = 40;
}

ProgressBar::ProgressBar() : shown_(Terminal::movesCursor(STDERR_FILENO)) {}

ProgressBar::~ProgressBar() {
    clear();
}

void ProgressBar::update(int permille, const std::string& note) {
    if (!shown_)
        return;
    permille = std::clamp(permille, 0, 1000);
    const int filled = permille * Width / 1000;
    char percent[8];
    std::snprintf(percent, sizeof percent, "%3d%%", permille / 10);
    const std::string line = "[" + std::string(filled, '#') + std::string(Width - filled, '.') +
                             "] " + percent + "  " + note;
    if (drawn_ && line == last_)
        return;
    std::fprintf(stderr, "\r%s\033[K", line.c_str());
    std::fflush(stderr);
    last_ = line;
    drawn_ = true;
}

void ProgressBar::clear() {
    if (!drawn_)
        return;
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
    drawn_ = false;
}

} // namespace tolva::cli
