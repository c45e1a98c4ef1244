#pragma once
#include <string>

namespace tolva::cli {

// A one-line bar on stderr, drawn only when stderr is a terminal that moves its cursor; erased
// when done.
class ProgressBar {
public:
    ProgressBar();
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // Whether the bar is drawn at all.
    bool shown() const { return shown_; }

    // Shows `permille` of the work done, followed by `note`; drawn again only when it changed.
    void update(int permille, const std::string& note);
    // Takes the bar off the line, so that a message can be printed there; update draws it again.
    void clear();

private:
    bool shown_;
    bool drawn_ = false;
    std::string last_;
};

} // namespace tolva::cli
