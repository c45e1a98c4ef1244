#pragma once
#include <cstdint>

namespace tolva::host {

// Longest playlist title: "TOLVA: ", a song title, " - " and a file name, with room to spare.
constexpr uint32_t TitleCapacity = 129 + 513 + 10 + 1;

// Composes the playlist title into `out` (TitleCapacity bytes). Format 0 gives the song title
// alone, 1 the title and the file name, 2 the same after "TOLVA: "; a song without title
// always shows its file name.
void composeTitle(uint32_t titleFormat, const char* songTitle, const char* file, char* out);

} // namespace tolva::host
