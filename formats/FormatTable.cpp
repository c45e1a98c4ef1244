#include "formats/it/ItPlayer.h"
#include "formats/mod/ModLoader.h"
#include "formats/mod/ModTag.h"
#include "formats/mtm669/Loader669.h"
#include "formats/mtm669/MtmLoader.h"
#include "formats/s3m/S3mLoader.h"
#include "formats/xm/XmLoader.h"
#include "song/FormatRegistry.h"

namespace tolva {

namespace {
std::unique_ptr<Player> loadItFile(InputStream& stream, bool infoOnly, Mixer* mixer) {
    return loadIt(stream, infoOnly, mixer);
}
} // namespace

// Tagged MOD comes first so that a MOD that begins like a 669 plays as MOD; the untagged form
// comes last because only a trial load can tell it.
FormatEntry* formatTable() {
    static FormatEntry table[FormatHandlerCount] = {
        {"Amiga Protracker", identifyMod, loadMod},  {"669 Composer", identify669, load669},
        {"MultiTracker", identifyMtm, loadMtm},      {"Scream Tracker 3", identifyS3m, loadS3m},
        {"FastTracker 2", identifyXm, loadXm},       {"Impulse Tracker", identifyIt, loadItFile},
        {"Amiga Protracker", identifyMod15, loadMod}};
    return table;
}

} // namespace tolva
