#include "support/ItSongParts.h"

namespace tolva::test {

namespace {

void putEnvelope(std::vector<uint8_t>& r, std::size_t at, const ItTestEnvelope& e) {
    r[at] = e.flags;
    r[at + 1] = static_cast<uint8_t>(e.nodes.size());
    r[at + 2] = e.loopStart;
    r[at + 3] = e.loopEnd;
    r[at + 4] = e.sustainStart;
    r[at + 5] = e.sustainEnd;
    for (std::size_t i = 0; i < e.nodes.size() && i < 25; ++i) {
        r[at + 6 + 3 * i] = static_cast<uint8_t>(e.nodes[i].second);
        putWord(r, at + 7 + 3 * i, e.nodes[i].first);
    }
}

} // namespace

std::vector<uint8_t> ItTestInstrument::record() const {
    std::vector<uint8_t> r = itInstrumentRecord("instrument", sample);
    r[0x11] = newNoteAction;
    r[0x12] = duplicateCheckType;
    r[0x13] = duplicateCheckAction;
    putWord(r, 0x14, fadeOut);
    r[0x16] = static_cast<uint8_t>(pitchPanSeparation);
    r[0x17] = pitchPanCentre;
    r[0x18] = globalVolume;
    r[0x19] = defaultPan;
    r[0x1A] = randomVolume;
    r[0x1B] = randomPan;
    r[0x3A] = filterCutoff;
    r[0x3B] = filterResonance;
    for (const auto& [note, target] : noteMap) {
        r[0x40 + 2 * note] = target.first;
        r[0x41 + 2 * note] = target.second;
    }
    putEnvelope(r, 0x130, volume);
    putEnvelope(r, 0x182, pan);
    putEnvelope(r, 0x1D4, pitch);
    return r;
}

ItTestPattern itPattern(const std::vector<ItPlacedCell>& cells, uint16_t rows) {
    ItTestPattern p;
    p.rows = rows;
    for (uint32_t row = 0; row < rows; ++row) {
        for (const ItPlacedCell& at : cells) {
            const ItTestCell& c = at.cell;
            if (at.row != row)
                continue;
            p.packed.push_back(static_cast<uint8_t>(0x80 | (at.channel + 1)));
            p.packed.push_back(
                static_cast<uint8_t>((c.note >= 0 ? 0x01 : 0) | (c.instrument >= 0 ? 0x02 : 0) |
                                     (c.volume >= 0 ? 0x04 : 0) | (c.effect ? 0x08 : 0)));
            for (int value : {c.note, c.instrument, c.volume})
                if (value >= 0)
                    p.packed.push_back(static_cast<uint8_t>(value));
            if (c.effect) {
                p.packed.push_back(static_cast<uint8_t>(c.effect - 'A' + 1));
                p.packed.push_back(static_cast<uint8_t>(c.param));
            }
        }
        p.packed.push_back(0);
    }
    return p;
}

ItTestSample rampSample(uint32_t frames, bool looped) {
    ItTestSample s;
    s.flags = looped ? 0x11 : 0x01;
    s.frames = frames;
    s.loopEnd = looped ? frames : 0;
    for (uint32_t i = 0; i < frames; ++i)
        s.data.push_back(static_cast<uint8_t>(i * 7));
    return s;
}

} // namespace tolva::test
