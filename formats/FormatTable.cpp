#include "formats/FormatTable.h"

#include "formats/it/ItPlayer.h"
#include "formats/mod/ModLoader.h"
#include "formats/mod/ModTag.h"
#include "formats/mtm669/Loader669.h"
#include "formats/mtm669/MtmLoader.h"
#include "formats/s3m/S3mLoader.h"
#include "formats/xm/XmLoader.h"

#include <iterator>

namespace tolva {

namespace {

// Tagged MOD comes first so that a MOD that begins like a 669 plays as MOD; the untagged form
// comes last because only a trial load can tell it. The plug-in lists the file types in this
// order. Each dialog box number is also that of its box in resources/config.rc.
constexpr FormatRow Rows[] = {
    {FormatMod, "Amiga Protracker", "mod", "MOD", "Amiga ProTracker File (*.MOD)", 0, 1022,
     FormatMod, identifyMod, loadMod, CodePage::Latin1, 100},
    {FormatMtm, "MultiTracker", "mtm", "MTM", "MultiTracker File (*.MTM)", 2, 1021, FormatMtm,
     identifyMtm, loadMtm, CodePage::Cp437, 100},
    {Format669, "669 Composer", "669", "669", "Composer 669 File (*.669)", 1, 1024, Format669,
     identify669, load669, CodePage::Cp437, 60},
    {FormatS3m, "Scream Tracker 3", "s3m", "S3M", "ScreamTracker3 File (*.S3M)", 3, 1020, FormatS3m,
     identifyS3m, loadS3m, CodePage::Cp437, 100},
    {FormatXm, "FastTracker 2", "xm", "XM", "FastTracker2 File (*.XM)", 4, 1019, FormatXm,
     identifyXm, loadXm, CodePage::Cp437, 100},
    {FormatIt, "Impulse Tracker", "it", "IT", "ImpulseTracker File (*.IT)", 5, 1018, FormatIt,
     identifyIt, loadIt, CodePage::Cp437, 100},
    {FormatMod15, "Amiga Protracker", "mod15", nullptr, nullptr, 6, 1023, FormatMod, identifyMod15,
     loadMod, CodePage::Latin1, 50},
};
static_assert(std::size(Rows) == FormatCount);

} // namespace

std::span<const FormatRow> formatRows() {
    return Rows;
}

const FormatRow* formatRow(uint32_t id) {
    for (const FormatRow& row : Rows)
        if (row.id == id)
            return &row;
    return nullptr;
}

const FormatRow* formatRowBySwitch(uint32_t index) {
    for (const FormatRow& row : Rows)
        if (row.settingsSwitch == index)
            return &row;
    return nullptr;
}

const char* formatName(uint32_t id) {
    const FormatRow* row = formatRow(id);
    return row ? row->name : "";
}

} // namespace tolva
