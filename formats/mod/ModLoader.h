#pragma once
#include "engine/Player.h"

#include <memory>

namespace tolva {

class InputStream;

// Loads a ProTracker MOD: the 31-sample form when the tag at 1080 names a channel count, else
// the 15-sample form with 4 channels. With infoOnly no sample data is read (mixer may then be
// null). Null when the file is not a loadable MOD.
std::unique_ptr<Player> loadMod(InputStream& stream, bool infoOnly, Mixer* mixer);

} // namespace tolva
