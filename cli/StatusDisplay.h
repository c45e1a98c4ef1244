#pragma once
#include "PlayRenderer.h"

#include <cstdio>
#include <string>
#include <vector>

namespace tolva::cli {

// What the status display shows besides the song's own state.
struct PlayerView {
    bool paused = false;
    uint32_t volume = 100;
    std::size_t files = 0;
    bool allSubsongs = false; // n and p step through subsongs
};

// ", subsong 2/4" for a song with several subsongs, else "".
std::string subsongText(const SongCard& card);

// The lines of the status display, each cut to fit `width` columns.
std::vector<std::string> statusLines(const SongCard& card, const BlockState& state,
                                     const PlayerView& view, int width);

// Lines kept in place at the bottom of the terminal and redrawn over themselves; messages
// (to standard error) are printed above them.
class StatusDisplay {
public:
    // Draws nothing unless `drawing`; messages are printed either way.
    StatusDisplay(std::FILE* out, bool drawing);
    // Erases the lines, leaving the cursor where they began, and shows the cursor again.
    ~StatusDisplay();
    StatusDisplay(const StatusDisplay&) = delete;
    StatusDisplay& operator=(const StatusDisplay&) = delete;

    void show(const std::vector<std::string>& lines);
    void report(const std::vector<std::string>& messages);

private:
    void moveToTop();
    void clear();

    std::FILE* out_;
    bool drawing_;
    int rows_ = 0;
};

} // namespace tolva::cli
