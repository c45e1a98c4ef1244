#pragma once
#include <CLI/CLI.hpp>
#include <cstdint>
#include <string>

namespace tolva::cli {

// Which tunes of each song `play` and `render` take: --subsong N (counted from 1, the main
// song) or --all-subsongs.
class SubsongChoice {
public:
    void addTo(CLI::App& command, const std::string& allHelp);

    bool all() const { return all_; }
    // The first tune taken, counted from 0.
    uint32_t first() const { return all_ ? 0 : number_ - 1; }
    // One past the last tune taken of a song of `count` tunes.
    uint32_t end(uint32_t count) const { return all_ ? count : first() + 1; }
    // Why a song of `count` tunes cannot be played as chosen, or "".
    std::string problem(uint32_t count) const;

private:
    uint32_t number_ = 1;
    bool all_ = false;
};

} // namespace tolva::cli
