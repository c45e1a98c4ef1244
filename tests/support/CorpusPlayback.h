#pragma once
// Plays songs of the corpus to their end, listening to what they make.
#include "engine/Player.h"
#include "mixer/SoftwareMixer.h"
#include "song/InputStream.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace tolva::test {

struct PlaybackResult {
    bool ended = false;  // the song reached its end within the time allowed
    uint32_t frames = 0; // frames rendered
    int32_t peak = 0;    // largest absolute 16-bit output value
};

// Restarts the player, configures it for `rate` Hz and renders 16-bit stereo until the song
// ends or `maxSeconds` of output have been made.
PlaybackResult playToEnd(Player& player, uint32_t rate, uint32_t maxSeconds);

// How a corpus file fared.
enum class Outcome { Refused, Ended, Capped };

using Loader =
    std::function<std::unique_ptr<Player>(InputStream& stream, bool infoOnly, Mixer* mixer)>;

// Loads the file with `load` onto a real mixer and plays it at 22050 Hz: the first
// `mixedSeconds` through the mixing loops, the rest through the sequencer alone, until the song
// ends or 30 minutes have played.
Outcome playCorpusFile(const std::string& path, const Loader& load, uint32_t mixedSeconds = 60);

// Every file of a corpus folder, loaded through the registry: those named in `refused` (with
// the reason) are refused as damaged, every other one is of `format`, is not silent and plays
// to its end.
void expectFolderPlaysOrIsRefused(const std::string& folder, uint32_t format,
                                  const std::map<std::string, std::string>& refused);

} // namespace tolva::test
