#include "formats/SongFacts.h"

#include "engine/Player.h"
#include "formats/FormatTable.h"

#include <cstdio>

namespace tolva {

namespace {

// Sample `index`, of instrument `instrument` (from 0) when `numbered` says samples belong to one.
bool addSample(Player& player, SongFacts& out, uint32_t index, uint32_t instrument, bool numbered,
               CodePage page) {
    SampleDescription d;
    player.info().describeSample(d, index, instrument);
    const std::size_t count = out.samples.size();
    if (!out.samples.resize(count + 1))
        return false;
    // Descriptions count frames; the facts give the bytes the sample's data takes.
    const uint32_t frameBytes =
        (d.typeFlags & SampleType16Bit ? 2 : 1) * (d.typeFlags & SampleTypeStereo ? 2 : 1);
    out.samples[count] = {index + 1, numbered ? instrument + 1 : 0, d.length * frameBytes,
                          d.loopKind != LoopNone};
    return out.sampleNames.addName(d.name, sizeof d.name, page);
}

bool describeSamples(Player& player, SongFacts& out, CodePage page) {
    if (!player.info().samplesBelongToInstruments()) {
        for (uint32_t s = 0; s < player.song.sampleCount; ++s)
            if (!addSample(player, out, s, 0, false, page))
                return false;
        return true;
    }
    for (uint32_t i = 0; i < out.instruments; ++i)
        for (uint32_t s = 0; s < player.info().instrumentSampleCount(i); ++s)
            if (!addSample(player, out, s, i, true, page))
                return false;
    return true;
}

bool describeNames(Player& player, SongFacts& out, CodePage page) {
    char creator[CreatorTextSize] = {};
    player.info().creatorText(creator, sizeof creator);
    char name[128];
    std::snprintf(name, sizeof name, "%s%.*s", formatName(out.format),
                  static_cast<int>(sizeof creator), creator);
    if (!out.formatName.setName(name, sizeof name, CodePage::Latin1) ||
        !out.title.setName(player.song.title, sizeof player.song.title, page))
        return false;
    const char* message = player.info().songMessage();
    if (message && !out.message.setMessage(message, page))
        return false;
    for (uint32_t i = 0; i < out.instruments; ++i) {
        InstrumentDescription d;
        player.info().describeInstrument(d, i);
        if (!d.valid)
            d.name[0] = '\0';
        if (!out.instrumentNames.addName(d.name, sizeof d.name, page))
            return false;
    }
    return true;
}

} // namespace

bool describeSong(Player& player, SongFacts& out) {
    out.format = player.info().formatType();
    const FormatRow* row = formatRow(out.format);
    const CodePage page = row ? row->codePage : CodePage::Cp437;
    out.channels = player.info().channelCount();
    out.orders = player.song.orderCount;
    for (uint32_t p = 0; p < player.song.patterns.size(); ++p)
        out.patterns += player.isPatternMissing(p) ? 0 : 1;
    out.instruments = player.info().instrumentCount();
    SongDescription described;
    player.info().describeSong(described);
    out.speed = described.initialSpeed;
    out.tempo = described.initialTempo;
    return describeNames(player, out, page) && describeSamples(player, out, page);
}

} // namespace tolva
